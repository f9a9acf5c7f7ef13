// The keys of play: binding, swapping and refusing keys, what the window
// hands the game in play and outside it, the file, and the Controls screen.
#include "ScreenRun.h"
#include "display/Bindings.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"
#include "game/screens/Controls.h"
#include "game/screens/Layout.h"
#include "game/settings/SettingsFile.h"
#include "game/settings/SettingsStore.h"

#include <gtest/gtest.h>

namespace Keys = Display::Bindings;

namespace KeyCode = Display::KeyCode;

namespace {

constexpr std::size_t kLeft = 0, kFire = 4, kPause = 7;

TEST(Bindings, ABoundKeySwapsWithTheActionThatHadIt) {
    Keys::Table t = Keys::Defaults();
    ASSERT_TRUE(Keys::Bind(t, kFire, 'Z'));
    EXPECT_EQ(t[kFire], 'Z');
    ASSERT_TRUE(Keys::Bind(t, kFire, 0x25)); // Left
    EXPECT_EQ(t[kFire], 0x25);
    EXPECT_EQ(t[kLeft], 'Z') << "left takes the key fire had";
    ASSERT_TRUE(Keys::Bind(t, kFire, 0x25));
    EXPECT_EQ(t[kLeft], 'Z') << "binding a key to its own action changes nothing";
}

TEST(Bindings, ReservedAndUnknownKeysAreRefused) {
    Keys::Table t = Keys::Defaults();
    for (const std::uint8_t key :
         {KeyCode::kEscape, KeyCode::kReturn, std::uint8_t{'M'}, std::uint8_t{0x61},
          std::uint8_t{0x62}, std::uint8_t{0x63}, std::uint8_t{0x79}, std::uint8_t{0x7A},
          std::uint8_t{0x07}, std::uint8_t{0xFF}}) {
        EXPECT_FALSE(Keys::Bind(t, kFire, key)) << int(key);
    }
    EXPECT_EQ(t, Keys::Defaults());
    EXPECT_FALSE(Keys::Bind(t, Keys::kActions.size(), 'Z')) << "no such action";
    EXPECT_TRUE(Keys::Bind(t, kPause, 0x64)) << "keypad 4 is no cheat";
}

TEST(Bindings, InPlayABoundKeyIsItsActionAndTheOldKeyIsSilent) {
    Keys::Table t = Keys::Defaults();
    for (int key = 0; key < 256; ++key) {
        EXPECT_EQ(Keys::InPlay(t, static_cast<std::uint8_t>(key)), key)
            << "defaults change nothing";
    }
    Keys::Bind(t, kFire, 'Z');
    EXPECT_EQ(Keys::InPlay(t, 'Z'), KeyCode::kSpace);
    EXPECT_EQ(Keys::InPlay(t, KeyCode::kSpace), std::nullopt);
    EXPECT_EQ(Keys::InPlay(t, KeyCode::kEscape), KeyCode::kEscape);
    EXPECT_EQ(Keys::InPlay(t, 'M'), 'M');
    EXPECT_EQ(Keys::InPlay(t, 0x13), 0x13) << "the Pause key pauses as ever";
    Keys::Bind(t, kFire, 'P'); // pause gets Z
    EXPECT_EQ(Keys::InPlay(t, 'P'), KeyCode::kSpace);
    EXPECT_EQ(Keys::InPlay(t, 'Z'), 'P');
}

TEST(Bindings, TheWindowMapsOnlyInPlayAndAKeyGoesUpAsItWentDown) {
    Keys::Table t = Keys::Defaults();
    Keys::Bind(t, kFire, 'Z');
    Keys::Use(t);
    Keys::Hearing<int> hearing;
    Keys::SetPlaying(false);
    EXPECT_EQ(hearing.Down(1, 'Z'), 'Z') << "a letter in the menus";
    Keys::SetPlaying(true);
    EXPECT_EQ(hearing.Down(1, 'Z'), 'Z') << "an auto-repeat is what the press was";
    EXPECT_EQ(hearing.Up(1, 'Z'), 'Z');
    EXPECT_EQ(hearing.Down(2, 'Z'), KeyCode::kSpace);
    EXPECT_EQ(hearing.Down(3, KeyCode::kSpace), std::nullopt);
    Keys::SetPlaying(false); // the game ended with Z held
    EXPECT_EQ(hearing.Up(2, 'Z'), KeyCode::kSpace);
    Keys::Use(Keys::Defaults());
}

TEST(Bindings, EveryKeyNameLeadsBackToItsKey) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const auto key = static_cast<std::uint8_t>(code);
        const std::string name = Keys::KeyName(key);
        if (!name.empty()) {
            ++named;
            EXPECT_EQ(Keys::KeyByName(name), key) << name;
            EXPECT_EQ(name.find_first_of(" \t"), name.npos) << "one word in the file";
        }
    }
    EXPECT_GT(named, 80);
    EXPECT_EQ(Keys::KeyByName("Nothing"), std::nullopt);
}

TEST(BindingsFile, KeysRoundTripAndBadOnesKeepTheirDefaults) {
    Settings::Values v;
    Keys::Bind(v.keys, kFire, 'Z');
    Keys::Bind(v.keys, kLeft, 0xBB); // "=" after the line's own
    const auto read = Settings::Parse(Settings::Format(v, {}));
    EXPECT_EQ(read.values, v);
    EXPECT_TRUE(read.problems.empty());

    const auto bad = Settings::Parse("key-fire = Z\n"       // 1
                                     "key-up = Z\n"         // 2: Z is fire's already
                                     "key-beam = Escape\n"  // 3: reserved
                                     "key-jump = J\n"       // 4: no such action
                                     "key-barrier = Up\n"   // 5: up (not in the file) swaps
                                     "key-pause = Blue\n"); // 6
    std::vector<std::size_t> lines;
    for (const auto& p : bad.problems) {
        lines.push_back(p.line);
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 3, 4, 6}));
    EXPECT_EQ(bad.values.keys[kFire], 'Z');
    EXPECT_EQ(bad.values.keys[2 - 1], 0x11) << "up took the barrier's Ctrl";
    EXPECT_EQ(bad.values.keys[6], 0x26);
    EXPECT_EQ(bad.values.keys[5], 0x10) << "beam kept Shift";
}

// The Controls screen, from the game's own key codes as a script holds them.
class Controls : public ScreenRun::Fixture {
  protected:
    void TearDown() override {
        Keys::Use(Keys::Defaults());
        Settings::Close();
        Fixture::TearDown();
    }
    // A click on a row of the table, at `ms`.
    void ClickRow(ScreenRun::Events& e, std::uint64_t ms, std::size_t row) {
        const auto r = Morvek::Layout::ControlsRow(row);
        Click(e, ms, r.x1 + 10, r.y1 + 10);
    }
    static void Click(ScreenRun::Events& e, std::uint64_t ms, std::int32_t x, std::int32_t y) {
        e.push_back(ScreenRun::Move(ms, x, y));
        e.push_back(ScreenRun::Down(ms + 20));
        e.push_back(ScreenRun::Up(ms + 60));
    }
};

TEST_F(Controls, ARowTakesTheNextKeyEscapeCancelsReservedKeysAreRefused) {
    namespace L = Morvek::Layout;
    ScreenRun::Events e;
    ClickRow(e, 100, kFire);
    ScreenRun::Key(e, 300, 'Z');
    ClickRow(e, 500, kLeft);
    ScreenRun::Key(e, 700, KeyCode::kEscape); // cancelled
    ClickRow(e, 900, kPause);
    ScreenRun::Key(e, 1100, 'M'); // refused, still waiting
    ScreenRun::Key(e, 1300, 'Z'); // swaps with fire
    Click(e, 1500, L::kReturn.x1 + 5, L::kReturn.y1 + 5);
    ASSERT_TRUE(ScreenRun::Play(e, Morvek::ControlsScene{}));
    Keys::Table want = Keys::Defaults();
    want[kPause] = 'Z';
    want[kFire] = 'P';
    EXPECT_EQ(Keys::InUse(), want);
    EXPECT_EQ(Settings::Stored().keys, want) << "kept for the file";

    ScreenRun::Events back;
    Click(back, 100, L::kDefaultsButton.x1 + 5, L::kDefaultsButton.y1 + 5);
    Click(back, 400, L::kReturn.x1 + 5, L::kReturn.y1 + 5);
    ASSERT_TRUE(ScreenRun::Play(back, Morvek::ControlsScene{}));
    EXPECT_EQ(Keys::InUse(), Keys::Defaults());
}

// The Controls button and the Defaults button share a place, and so do the
// two screens' Return buttons: a click held on one must not choose the other.
TEST_F(Controls, ReturnGoesBackToTheOptionsScreenThatOpenedIt) {
    namespace L = Morvek::Layout;
    using Morvek::world;
    Keys::Table mine = Keys::Defaults();
    Keys::Bind(mine, kFire, 'Z');
    Keys::Use(mine);
    ScreenRun::Events e;
    e.push_back(ScreenRun::Move(100, L::kControlsButton.x1 + 5, L::kControlsButton.y1 + 5));
    e.push_back(ScreenRun::Down(120));
    e.push_back(ScreenRun::Up(300));
    e.push_back(ScreenRun::Move(400, L::kReturn.x1 + 5, L::kReturn.y1 + 5));
    e.push_back(ScreenRun::Down(420));
    e.push_back(ScreenRun::Up(600));
    std::vector<std::string> titles;
    Display::Run::SetSyncHook([&titles] {
        if (titles.empty() || titles.back() != Display::Run::Title()) {
            titles.push_back(Display::Run::Title());
        }
    });
    ASSERT_TRUE(ScreenRun::Hold(e, Morvek::OptionsScene{}, 800));
    Display::Run::SetSyncHook(nullptr);
    EXPECT_EQ(titles, (std::vector<std::string>{"Options", "Controls", "Options"}));
    ASSERT_EQ(world.scenes.Size(), 1u);
    EXPECT_TRUE(std::holds_alternative<Morvek::OptionsScene>(world.scenes.Top()));
    EXPECT_EQ(world.mode, Morvek::Mode::Options);
    EXPECT_EQ(Keys::InUse(), mine) << "the opening click chose no Defaults";

    ScreenRun::Events back;
    Click(back, 100, L::kReturn.x1 + 5, L::kReturn.y1 + 5);
    ASSERT_TRUE(ScreenRun::Finish(back));
    EXPECT_EQ(Display::Run::Title(), "Morvek");
}

} // namespace
