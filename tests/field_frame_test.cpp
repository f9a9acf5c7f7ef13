#include "display/Display.h"
#include "game/combat/BeamShield.h"
#include "game/combat/Collision.h"
#include "game/combat/Enemies.h"
#include "game/combat/Field.h"
#include "game/combat/Render.h"
#include "game/core/Catalogue.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

namespace P = ScenePictures;

// Small and the same everywhere, unlike the standard distributions.
struct Numbers {
    std::uint32_t state;
    std::int32_t Between(std::int32_t low, std::int32_t high) {
        state = state * 1664525u + 1013904223u;
        return low +
               static_cast<std::int32_t>((state >> 8) % static_cast<std::uint32_t>(high - low + 1));
    }
};

// The contact test as the frame used to make it: the deadly area drawn into
// the back buffer (clipped to the dragon's pixel, as the visible background
// covers it), each icicle's contact picture over it, and the pixel under the
// dragon read back.
bool OldBlack() {
    return Display::GetPixel(static_cast<std::uint32_t>(ToPixel(world.dragon.x)),
                             static_cast<std::uint32_t>(ToPixel(world.dragon.y))) == 0;
}

void OldDeadlyContacts() {
    const std::int32_t bx = world.backgrounds[world.level].x;
    const std::uint32_t picture = PictureNumber(P::SceneryOf(world.level).deadly[0]);
    const std::uint32_t mirror = PictureNumber(P::SceneryOf(world.level).deadly[1]);
    const std::int32_t x = ToPixel(world.dragon.x), y = ToPixel(world.dragon.y);
    Display::SetClip(x, y, x, y);
    if (bx > -P::kBackgroundWidth) {
        Display::DrawBitmap(picture, bx, 0);
        Display::DrawBitmap(mirror, bx + P::kBackgroundWidth, 0);
    } else {
        Display::DrawBitmap(mirror, bx + P::kBackgroundWidth, 0);
        Display::DrawBitmap(picture, bx + 2 * P::kBackgroundWidth, 0);
    }
    Display::ClearClip();
    if (world.level == 2) {
        const std::uint32_t contact = PictureNumber(Picture::IcicleContact);
        for (const std::uint32_t i : Slots(world.icicles)) {
            Background& ice = world.icicles[i];
            if (!ice.state) {
                continue;
            }
            Display::DrawBitmap(contact, ice.x, ice.y);
            const bool on = x >= ice.x && x < ice.x + P::kIcicleWidth && y >= ice.y &&
                            y < ice.y + P::kIcicleHeight;
            if (on && OldBlack()) {
                world.dragon.health = 0;
                SetOffExplosion(world.dragon.x, world.dragon.y, 1);
                ice.state = false;
            }
        }
    }
    if (OldBlack()) {
        world.dragon.health = 0;
        SetOffExplosion(world.dragon.x, world.dragon.y, 1);
    }
}

struct Outcome {
    std::int32_t health;
    std::array<Background, 21> icicles;
    std::array<Blast, 26> blasts;
    bool operator==(const Outcome& o) const {
        for (std::size_t i = 0; i < icicles.size(); ++i) {
            if (icicles[i].state != o.icicles[i].state) {
                return false;
            }
        }
        for (std::size_t i = 0; i < blasts.size(); ++i) {
            if (blasts[i].state != o.blasts[i].state || blasts[i].x != o.blasts[i].x ||
                blasts[i].y != o.blasts[i].y) {
                return false;
            }
        }
        return health == o.health;
    }
};

Outcome Judge(void (*contacts)()) {
    const Dragon savedDragon = world.dragon;
    const auto savedIcicles = world.icicles;
    const auto blasts = world.explosions;
    // Whatever the last frame left where no picture lies reads as not black.
    const std::int32_t x = ToPixel(world.dragon.x), y = ToPixel(world.dragon.y);
    Display::Rectangle(x - 1, y - 1, x + 1, y + 1, 0xFFFFFF, true);
    contacts();
    const Outcome o{world.dragon.health, world.icicles, world.explosions};
    world.dragon = savedDragon;
    world.icicles = savedIcicles;
    world.explosions = blasts;
    return o;
}

class FrameOfPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
        TestWorld::NewGameState();
        LoadPictures();
    }
};

std::vector<std::uint32_t> Pixels() {
    std::vector<std::uint32_t> all;
    all.reserve(std::size_t{Display::kWidth} * Display::kHeight);
    for (std::uint32_t y = 0; y < Display::kHeight; ++y) {
        for (std::uint32_t x = 0; x < Display::kWidth; ++x) {
            all.push_back(Display::GetPixel(x, y));
        }
    }
    return all;
}

} // namespace

TEST_F(FrameOfPlay, ReadingTheDeadlyPicturesGivesWhatTheFrameReadBack) {
    Numbers rng{12345};
    int deaths = 0, icicleDeaths = 0, cases = 0;
    for (std::uint32_t lvl = 1; lvl <= 3; ++lvl) {
        world.level = lvl;
        for (int n = 0; n < 4000; ++n) {
            world.backgrounds[lvl].x = rng.Between(-P::kScrollLoop + 1, 0);
            world.icicles = {};
            if (lvl == 2) {
                for (const std::uint32_t i : Slots(world.icicles)) {
                    world.icicles[i] = {rng.Between(-40, 1040), rng.Between(-160, 780),
                                        rng.Between(0, 2) != 0};
                }
            }
            // A third of the dragons on an icicle, the others anywhere, a
            // little beyond the window's edges included.
            const std::uint32_t on = static_cast<std::uint32_t>(rng.Between(1, 20));
            if (lvl == 2 && n % 3 == 0 && world.icicles[on].state) {
                world.dragon.x =
                    static_cast<float>(world.icicles[on].x + rng.Between(0, P::kIcicleWidth));
                world.dragon.y =
                    static_cast<float>(world.icicles[on].y + rng.Between(0, P::kIcicleHeight));
            } else {
                world.dragon.x = static_cast<float>(rng.Between(-20, 1044)) + 0.5f;
                world.dragon.y = static_cast<float>(rng.Between(-20, 788));
            }
            world.dragon.health = 100;
            world.explosions = {};
            const Outcome old = Judge(OldDeadlyContacts);
            const Outcome now = Judge(DeadlyContacts);
            ASSERT_TRUE(old == now) << "level " << lvl << " scroll " << world.backgrounds[lvl].x
                                    << " dragon " << world.dragon.x << "," << world.dragon.y;
            ++cases;
            deaths += now.health == 0 ? 1 : 0;
            for (const std::uint32_t i : Slots(world.icicles)) {
                icicleDeaths += world.icicles[i].state && !now.icicles[i].state ? 1 : 0;
            }
        }
    }
    // Both answers came up often, the icicles' too.
    EXPECT_GT(deaths, cases / 10);
    EXPECT_LT(deaths, cases * 9 / 10);
    EXPECT_GT(icicleDeaths, 50);
}

TEST_F(FrameOfPlay, DrawingChangesNothingButPixelsAndTwiceGivesTheSameFrame) {
    for (std::uint32_t lvl = 1; lvl <= 3; ++lvl) {
        SCOPED_TRACE(lvl);
        world.level = lvl;
        world.backgrounds[lvl].x = -900;
        world.dragon = {500, 380, 40, 30, 3, false, false, false, true, 2, 2};
        world.shieldRunning = true;
        world.beamRunning = true;
        world.beamShown = true;
        world.growCounter = 12;
        CreateEnemy(700, 300, 4, 1, 3); // a diving bat, with its streak
        CreateEnemy(800, 500, 5, 2, 1);
        world.bullets[3] = {-15, 0, 600, 200, 5, true, 1};
        world.explosions[2] = {1, 1, 650, 420, true};
        world.items[2][4] = {0, 0, 0, 0, 0, 125, false, true}; // its text's last frame
        world.items[3][1] = {-7, 1, 420, 250, 0, 10, true, false};
        world.icicles[3] = {300, 100, true};
        world.fireballs[2] = {0, 0, 350, 600, 0, 0, true, false};

        const std::string before = StateDump::StateJson();
        const auto savedItems = world.items;
        const auto scroll = world.backgrounds;
        const auto savedIcicles = world.icicles;
        Draw();
        const auto first = Pixels();
        Display::Rectangle(0, 0, 1023, 767, 0xFF00FF, true); // nothing of this may show
        Draw();
        EXPECT_TRUE(first == Pixels());
        EXPECT_EQ(StateDump::StateJson(), before);
        EXPECT_EQ(world.items[2][4].counter, savedItems[2][4].counter);
        EXPECT_TRUE(world.items[2][4].textShown);
        EXPECT_EQ(world.backgrounds[lvl].x, scroll[lvl].x);
        EXPECT_EQ(world.icicles[3].state, savedIcicles[3].state);
        EXPECT_TRUE(world.beamShown);
    }
}

TEST_F(FrameOfPlay, TheBeamsLastTickStillShowsItsFirstPiece) {
    world.level = 1;
    world.backgrounds[1].x = -700;
    world.dragon.x = 400;
    world.dragon.y = 300;
    world.beamRunning = true;
    world.dragon.beamReady = false;
    world.growCounter = 130; // at its reach: this tick ends it
    RunBeam();
    EXPECT_FALSE(world.beamRunning);
    EXPECT_EQ(world.growCounter, 0u);
    Draw();
    const auto shown = Pixels();
    world.beamShown = false;
    Draw();
    EXPECT_FALSE(shown == Pixels());
}
