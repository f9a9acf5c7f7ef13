// The frame in a window of any size: where it is drawn, where the mouse
// lands, and how large the window first opens.
#include "display/KeyMap.h"
#include "display/Scaling.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace Display::Scaling;

constexpr Size kFrame{1024, 768};

// The window pixel in the middle of frame pixel (x, y), as a player points at it.
Point Centre(const Viewport& v, std::int32_t x, std::int32_t y) {
    return {v.x + static_cast<std::int32_t>((2 * std::int64_t{x} + 1) * v.w / (2 * kFrame.w)),
            v.y + static_cast<std::int32_t>((2 * std::int64_t{y} + 1) * v.h / (2 * kFrame.h))};
}

TEST(Scaling, TheFrameKeepsItsAspectBetweenBars) {
    struct Case {
        Size out;
        bool integer;
        Viewport want;
    };
    const Case cases[] = {
        {{1024, 768}, false, {0, 0, 1024, 768}},
        {{2048, 1536}, false, {0, 0, 2048, 1536}},
        {{1600, 900}, false, {200, 0, 1200, 900}},   // bars left and right
        {{1024, 1000}, false, {0, 116, 1024, 768}},  // bars above and below
        {{800, 600}, false, {0, 0, 800, 600}},       // smaller than the frame
        {{1600, 900}, true, {288, 66, 1024, 768}},   // one whole multiple fits
        {{2100, 1600}, true, {26, 32, 2048, 1536}},  // two do
        {{3000, 1000}, true, {988, 116, 1024, 768}}, // two across, but one down
        {{1100, 1600}, true, {38, 416, 1024, 768}},  // two down, but one across
        {{800, 600}, true, {0, 0, 800, 600}},        // none does: shrunk to fit
        {{0, 0}, false, {0, 0, 0, 0}},               // a minimised window
    };
    for (const Case& c : cases) {
        const Viewport v = Letterbox(c.out, kFrame, c.integer);
        EXPECT_EQ(v.x, c.want.x) << c.out.w << "x" << c.out.h << " integer " << c.integer;
        EXPECT_EQ(v.y, c.want.y) << c.out.w << "x" << c.out.h << " integer " << c.integer;
        EXPECT_EQ(v.w, c.want.w) << c.out.w << "x" << c.out.h << " integer " << c.integer;
        EXPECT_EQ(v.h, c.want.h) << c.out.w << "x" << c.out.h << " integer " << c.integer;
        EXPECT_TRUE(v.x >= 0 && v.x + v.w <= c.out.w && v.y >= 0 && v.y + v.h <= c.out.h)
            << c.out.w << "x" << c.out.h << " integer " << c.integer;
        // Shrunk, the frame is smoothed so its small text survives; never else.
        EXPECT_EQ(Smooth(v, kFrame), v.w < kFrame.w) << c.out.w << "x" << c.out.h;
    }
}

TEST(Scaling, EveryFramePixelIsWhereThePlayerPointsAtIt) {
    for (const Size out : {Size{1024, 768}, Size{1600, 900}, Size{1920, 1080}, Size{640, 700},
                           Size{2560, 1440}, Size{1023, 767}}) {
        for (const bool integer : {false, true}) {
            const Viewport v = Letterbox(out, kFrame, integer);
            // Shrunk, two frame pixels may share a window pixel.
            const std::int32_t slack = v.w < kFrame.w ? 1 : 0;
            for (std::int32_t x = 0; x < kFrame.w; ++x) {
                const Point p = ToFrame(v, out, out, kFrame, Centre(v, x, x * 3 / 4));
                ASSERT_LE(std::abs(p.x - x), slack) << out.w << "x" << out.h << " at " << x;
                ASSERT_LE(std::abs(p.y - x * 3 / 4), slack) << out.w << "x" << out.h << " at " << x;
            }
        }
    }
}

TEST(Scaling, TheBarsAreOutsideTheFrame) {
    const Viewport v = Letterbox({1600, 900}, kFrame, false); // frame at x 200..1399
    EXPECT_EQ(ToFrame(v, {1600, 900}, {1600, 900}, kFrame, {199, 450}).x, -1);
    EXPECT_EQ(ToFrame(v, {1600, 900}, {1600, 900}, kFrame, {0, 450}).x, -171);
    EXPECT_EQ(ToFrame(v, {1600, 900}, {1600, 900}, kFrame, {200, 450}).x, 0);
    EXPECT_EQ(ToFrame(v, {1600, 900}, {1600, 900}, kFrame, {1399, 899}).x, 1023);
    EXPECT_EQ(ToFrame(v, {1600, 900}, {1600, 900}, kFrame, {1400, 450}).x, 1024);
    const Viewport tall = Letterbox({1024, 1000}, kFrame, false); // y 116..883
    EXPECT_EQ(ToFrame(tall, {1024, 1000}, {1024, 1000}, kFrame, {5, 100}).y, -16);
    EXPECT_EQ(ToFrame(tall, {1024, 1000}, {1024, 1000}, kFrame, {5, 884}).y, 768);
    EXPECT_EQ(ToFrame({}, {0, 0}, {0, 0}, kFrame, {5, 5}).x, -1); // minimised: over nothing
}

TEST(Scaling, HighDpiWindowsCountTheMouseInPoints) {
    // A window of 1024 x 768 points drawn with 2048 x 1536 pixels.
    const Viewport v = Letterbox({2048, 1536}, kFrame, false);
    const Point p = ToFrame(v, {1024, 768}, {2048, 1536}, kFrame, {175, 575});
    EXPECT_EQ(p.x, 175);
    EXPECT_EQ(p.y, 575);
}

TEST(Scaling, TheWindowFirstOpensAsLargeAsAskedAndTheDesktopAllows) {
    struct Case {
        Size usable;
        std::uint32_t scale;
        Size want;
    };
    const Case cases[] = {
        {{1920, 1050}, 1, {1024, 768}},  {{1920, 1050}, 2, {1024, 768}},
        {{3840, 2100}, 2, {2048, 1536}}, {{3840, 2100}, 3, {2048, 1536}},
        {{800, 600}, 1, {800, 600}},     {{1366, 700}, 1, {933, 700}},
        {{0, 0}, 2, {1024, 768}}, // the desktop is unknown
    };
    for (const Case& c : cases) {
        const Size s = InitialSize(c.usable, kFrame, c.scale);
        EXPECT_EQ(s.w, c.want.w) << c.usable.w << "x" << c.usable.h << " scale " << c.scale;
        EXPECT_EQ(s.h, c.want.h) << c.usable.w << "x" << c.usable.h << " scale " << c.scale;
    }
}

TEST(Scaling, FullscreenKeysNeverReachTheGame) {
    using Display::Keys::FullscreenToggle;
    using Display::Keys::MapKey;
    EXPECT_TRUE(FullscreenToggle(SDLK_F11, KMOD_NONE));
    EXPECT_TRUE(FullscreenToggle(SDLK_RETURN, KMOD_LALT));
    EXPECT_TRUE(FullscreenToggle(SDLK_KP_ENTER, KMOD_RALT));
    EXPECT_FALSE(FullscreenToggle(SDLK_RETURN, KMOD_NONE));
    EXPECT_FALSE(MapKey(SDLK_F11, KMOD_NONE, true).has_value());
    EXPECT_FALSE(MapKey(SDLK_F11, KMOD_NONE, false).has_value());
    EXPECT_EQ(MapKey(SDLK_RETURN, KMOD_NONE, true), std::optional<std::uint8_t>(0x0D));
}

} // namespace
