// The deadly area the game kills with and the autopilot steers by: where the
// scroll lays a level's pictures, what lies outside them, and masks that
// follow the pictures loaded now.
#include "display/Display.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"
#include "game/core/Terrain.h"
#include "game/core/World.h"
#include "support/Pictures.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using namespace Morvek;
namespace P = ScenePictures;

TEST(Terrain, FollowsTheScrollAcrossBothPicturesAndTheWrap) {
    TestWorld::Fresh();
    TestPictures::SetDeadlyArea(2, [](int c, int) { return c == 12 || c == 1500; });
    EXPECT_TRUE(Deadly(2, 0, 12, 300));
    EXPECT_FALSE(Deadly(2, 0, 13, 300));
    EXPECT_TRUE(Deadly(2, -7, 5, 300)) << "scrolled 7 left, column 12 stands at x = 5";
    EXPECT_FALSE(Deadly(2, -7, 12, 300));
    EXPECT_TRUE(Deadly(2, -1000, 500, 300)) << "the mirror picture's column 476";
    EXPECT_TRUE(Deadly(2, -2040, 20, 300)) << "past the loop's end the first picture returns";
    // Right at the window's edges: the last row and column are the picture's,
    // the next ones outside, which reads black.
    EXPECT_FALSE(Deadly(2, 0, 1023, 767));
    EXPECT_TRUE(Deadly(2, 0, 1024, 300));
    EXPECT_TRUE(Deadly(2, 0, 500, 768));
    EXPECT_TRUE(Deadly(2, 0, -1, 300));
    EXPECT_TRUE(Deadly(2, 0, 13, -1));

    EXPECT_FALSE(Deadly(1, 0, 12, 300)) << "a level without pictures has no walls";
    EXPECT_TRUE(Deadly(1, 0, -1, 300)) << "but outside the window is still black";
    for (const std::uint32_t none : {0u, kLastLevel + 1}) {
        EXPECT_FALSE(Deadly(none, 0, 12, 300));
        EXPECT_FALSE(Deadly(none, 0, -1, 300));
    }
}

// Black only where a pixel is 0: the near-black of a dark picture, in any of
// its colours, is safe.
std::uint32_t Pattern(int x, int y, int seed) {
    constexpr std::array<std::uint32_t, 5> kColours{0, 0x000001, 0x000100, 0x010000, 0xFFFFFF};
    return kColours[static_cast<std::size_t>((x / 7 + y / 5 + seed) % 5)];
}

TEST(Terrain, ReadsWhatTheFrameShowsWhateverThePicturesSizes) {
    // Pictures narrower and wider than the window, and shorter: the frame
    // shows the last drawn on top and the back buffer's white where neither lies.
    TestWorld::Fresh();
    const P::Backdrop& deadly = P::SceneryOf(3).deadly;
    world.pictures[deadly[0]] = {
        TestPictures::Load(700, 500, [](int x, int y) { return Pattern(x, y, 0); })};
    world.pictures[deadly[1]] = {
        TestPictures::Load(1300, 800, [](int x, int y) { return Pattern(x, y, 1); })};
    int black = 0, checked = 0;
    for (const std::int32_t bx : {0, -5, -330, -700, -1023, -1024, -1030, -1500, -2047}) {
        SCOPED_TRACE(bx);
        Display::Rectangle(0, 0, 1023, 767, 0xFFFFFF, true);
        for (const PlacedPicture& p : BackgroundLayers(bx, deadly)) {
            Display::DrawBitmap(p.picture, p.x, 0);
        }
        for (std::int32_t y = 0; y < 768; y += 3) {
            for (std::int32_t x = 0; x < 1024; x += 5) {
                const bool shown = Display::GetPixel(static_cast<std::uint32_t>(x),
                                                     static_cast<std::uint32_t>(y)) == 0;
                ASSERT_EQ(Deadly(3, bx, x, y), shown) << x << "," << y;
                black += shown ? 1 : 0;
                ++checked;
            }
        }
    }
    EXPECT_GT(black, checked / 10);
    EXPECT_LT(black, checked / 2);
}

TEST(Terrain, FollowsThePicturesLoadedNow) {
    TestWorld::Fresh();
    TestPictures::SetDeadlyArea(1, [](int c, int) { return c == 100; });
    ASSERT_TRUE(Deadly(1, 0, 100, 300));
    // Released, and another picture loaded under the same number: what was
    // read from the first must not answer for the second.
    Loaded& picture = world.pictures[P::SceneryOf(1).deadly[0]];
    const std::uint32_t number = picture.picture;
    Display::DestroyBitmap(number);
    EXPECT_FALSE(Deadly(1, 0, 100, 300)) << "no picture, no wall";
    ASSERT_EQ(TestPictures::Load(1024, 768, [](int x, int) { return x == 200 ? 0u : 0xFFFFFFu; }),
              number);
    EXPECT_FALSE(Deadly(1, 0, 100, 300));
    EXPECT_TRUE(Deadly(1, 0, 200, 300));
    // The name given another picture: that one's walls.
    picture.picture = TestPictures::Solid(0, 1024, 768);
    EXPECT_TRUE(Deadly(1, 0, 100, 300));
    picture.picture = 0;
    EXPECT_FALSE(Deadly(1, 0, 100, 300));
}

} // namespace
