#include "display/Display.h"
#include "display/KeyMap.h"
#include "display/Layer.h"
#include "display/Run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

using namespace Display;
using Run::InputEvent;

namespace {

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Run::Reset();
        Run::SetHeadless(true);
        Window("Morvek", kWidth, kHeight);
    }
    void TearDown() override { Run::Reset(); }

    static void Key(InputEvent::Kind kind, std::uint32_t code) {
        InputEvent e;
        e.kind = kind;
        e.code = code;
        Run::Apply(e);
    }
    static void Move(std::int32_t x, std::int32_t y) {
        InputEvent e;
        e.kind = InputEvent::MouseMove;
        e.x = x;
        e.y = y;
        Run::Apply(e);
    }
    // Paints a rectangle straight into the back buffer, as the drawing units do.
    static void Paint(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                      std::uint32_t pixel) {
        for (std::int32_t y = y0; y < y1; ++y) {
            for (std::int32_t x = x0; x < x1; ++x) {
                backbuffer[static_cast<std::size_t>(y) * window.xlen + x] = pixel;
            }
        }
        DrawnRect(x0, y0, x1, y1);
    }
    static std::vector<unsigned char> Shot() {
        const char* file = "window_test_shot.bmp";
        EXPECT_TRUE(Run::WriteShot(file));
        std::ifstream in(file, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::remove(file);
        return bytes;
    }
    // A pixel of a 24-bit bottom-up BMP as 0x00RRGGBB.
    static std::uint32_t ShotPixel(const std::vector<unsigned char>& bmp, std::uint32_t x,
                                   std::uint32_t y) {
        const std::size_t row = (kWidth * 3 + 3) & ~3u;
        const std::size_t at = 54 + (kHeight - 1 - y) * row + x * 3;
        return bmp[at] | (bmp[at + 1] << 8) | (bmp[at + 2] << 16);
    }
};

TEST_F(WindowTest, KeyQueueKeepsOrderAndAutoRepeat) {
    for (std::uint32_t k : {0x41u, 0x42u, 0x43u}) {
        Key(InputEvent::KeyDown, k);
        Key(InputEvent::KeyUp, k);
    }
    Key(InputEvent::KeyDown, 0x20);
    Key(InputEvent::KeyDown, 0x20); // auto-repeat
    EXPECT_TRUE(KeyDown(0x20));
    EXPECT_FALSE(KeyDown(0x41));
    EXPECT_EQ(TakeKey(), 0x41u);
    EXPECT_EQ(TakeKey(), 0x42u);
    EXPECT_EQ(TakeKey(), 0x43u);
    EXPECT_EQ(TakeKey(), 0x20u);
    Key(InputEvent::KeyUp, 0x20);
    EXPECT_FALSE(KeyDown(0x20));
    EXPECT_TRUE(KeyQueued());
    EXPECT_EQ(TakeKey(), 0x20u); // releasing leaves the queue alone
    EXPECT_FALSE(KeyQueued());
    EXPECT_EQ(TakeKey(), 0u) << "an empty queue gives nothing";
    EXPECT_FALSE(KeyDown(300));
}

TEST_F(WindowTest, FlushKeysEmptiesTheQueueAndAWaitForAKeyThenEndsAHeadlessRun) {
    for (int i = 0; i < 30; ++i) {
        Key(InputEvent::KeyDown, 0x26);
    }
    FlushKeys();
    EXPECT_TRUE(KeyDown(0x26));
    EXPECT_FALSE(KeyQueued());
    EXPECT_FALSE(Run::EndAsked());
    Run::WaitForInput(); // nothing can ever come
    EXPECT_EQ(Run::EndAsked(), 0);
    EXPECT_EQ(TakeKey(), 0u);
}

TEST_F(WindowTest, MouseFollowsMovesAndButtonsOnly) {
    std::int32_t x = -1, y = -1;
    MousePos(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    Move(175, 160);
    Key(InputEvent::MouseDown, 0);
    Move(-10, 20); // dragged out of the window: a plain negative position
    MousePos(x, y);
    EXPECT_EQ(x, -10);
    EXPECT_EQ(y, 20);
    EXPECT_TRUE(MouseLeft());
    Key(InputEvent::MouseDown, 1);
    Key(InputEvent::MouseUp, 1);
    EXPECT_TRUE(MouseLeft());
    Key(InputEvent::MouseUp, 0);
    EXPECT_FALSE(MouseLeft());
}

TEST_F(WindowTest, ClosingForgetsInputAndReopeningStartsClean) {
    Key(InputEvent::KeyDown, 0x25);
    Move(5, 6);
    Key(InputEvent::MouseDown, 0);
    SetTitle(std::string_view("Credits\0junk", 12));
    EXPECT_EQ(window.title, "Credits");

    Window("Again", kWidth, kHeight); // closes the first window
    EXPECT_EQ(window.state, STATE_ACTIVE);
    EXPECT_EQ(window.title, "Again");
    EXPECT_FALSE(KeyDown(0x25));
    EXPECT_FALSE(MouseLeft());

    Key(InputEvent::KeyDown, 0x25);
    Move(5, 6);
    KillWindow();
    EXPECT_EQ(window.state, STATE_DEAD);
    EXPECT_EQ(window.xlen, 0u);
    EXPECT_FALSE(KeyDown(0x25));
    std::int32_t x = -1, y = -1;
    MousePos(x, y);
    EXPECT_EQ(x + y, 0);
    SetTitle("Story");
    EXPECT_EQ(window.title, "");
    KillWindow(); // a second close does nothing
    EXPECT_EQ(window.state, STATE_DEAD);
}

TEST_F(WindowTest, BufferedDrawingShowsOnlyAfterUpdateWindow) {
    SetBuffering(true);
    Paint(10, 20, 30, 40, 0x00FF8000);
    EXPECT_EQ(ShotPixel(Shot(), 15, 25), 0u);
    UpdateWindow();
    const auto shown = Shot();
    ASSERT_EQ(shown.size(), 54 + 1024u * 3 * 768);
    EXPECT_EQ(shown[0], 'B');
    EXPECT_EQ(shown[28], 24); // bits per pixel
    EXPECT_EQ(ShotPixel(shown, 15, 25), 0x00FF8000u);
    EXPECT_EQ(ShotPixel(shown, 30, 25), 0u);
    EXPECT_EQ(ShotPixel(shown, 10, 39), 0x00FF8000u);

    // Switching buffering off shows what is pending, then every draw at once.
    Paint(0, 0, 1, 1, 0x00123456);
    SetBuffering(false);
    EXPECT_EQ(ShotPixel(Shot(), 0, 0), 0x00123456u);
    Paint(1023, 767, 1024, 768, 0x00ABCDEF);
    EXPECT_EQ(ShotPixel(Shot(), 1023, 767), 0x00ABCDEFu);
}

TEST_F(WindowTest, ShotOfAnUnwritablePlaceFails) {
    UpdateWindow();
    EXPECT_FALSE(Run::WriteShot("/proc/no/such/dir/shot.bmp"));
}

TEST(KeyMapTest, MapsTheGamesKeys) {
    using Keys::MapKey;
    EXPECT_EQ(MapKey(SDLK_LEFT, KMOD_NONE, true), 0x25);
    EXPECT_EQ(MapKey(SDLK_DOWN, KMOD_NONE, true), 0x28);
    EXPECT_EQ(MapKey(SDLK_RSHIFT, KMOD_RSHIFT, true), 0x10);
    EXPECT_EQ(MapKey(SDLK_LCTRL, KMOD_LCTRL, true), 0x11);
    EXPECT_EQ(MapKey(SDLK_KP_ENTER, KMOD_NONE, true), 0x0D);
    EXPECT_EQ(MapKey(SDLK_KP_3, KMOD_NUM, true), 0x63);
    EXPECT_EQ(MapKey(SDLK_q, KMOD_LSHIFT, true), 'Q'); // letters ignore the shift state
    EXPECT_EQ(MapKey(SDLK_7, KMOD_NONE, true), '7');
    EXPECT_EQ(MapKey(SDLK_F12, KMOD_NONE, true), 0x7B);
    EXPECT_EQ(MapKey(SDLK_MINUS, KMOD_NONE, true), 0xBD);
    EXPECT_FALSE(MapKey(SDLK_MENU, KMOD_NONE, true).has_value());
}

TEST(KeyMapTest, AltAndWhatIsPressedWithItStayOut) {
    using Keys::MapKey;
    EXPECT_FALSE(MapKey(SDLK_LALT, KMOD_NONE, true));
    EXPECT_FALSE(MapKey(SDLK_RALT, KMOD_RALT, false));
    EXPECT_FALSE(MapKey(SDLK_F10, KMOD_NONE, true));
    EXPECT_FALSE(MapKey(SDLK_F4, KMOD_LALT, true));
    EXPECT_FALSE(MapKey(SDLK_SPACE, KMOD_RALT, true));
    // A key held before Alt still comes up, or it would stay down for good.
    EXPECT_EQ(MapKey(SDLK_SPACE, KMOD_LALT, false), 0x20);
}

TEST(KeyMapTest, LosingTheFocusReleasesHeldKeysOnce) {
    Keys::HeldKeys held;
    held.Press(0x20);
    held.Press(0x25);
    held.Lift(0x25);
    held.Press(0x11);
    EXPECT_EQ(held.ReleaseAll(), (std::vector<std::uint8_t>{0x11, 0x20}));
    EXPECT_TRUE(held.ReleaseAll().empty());
}

} // namespace
