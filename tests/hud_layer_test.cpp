// The head-up display and a boss's bar lie over everything of the field:
// clouds, shots, enemies, explosions and the bosses' attacks leave their
// labels and bars as they draw them.
#include "display/Display.h"
#include "game/combat/Render.h"
#include "game/core/Catalogue.h"
#include "game/core/Hud.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "game/levels/BossCommon.h"
#include "support/Pictures.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

using namespace Morvek;

namespace {

using TestPictures::Frame;
using TestPictures::Grab;

struct Box {
    int x0, y0, x1, y1; // both corners included
};
constexpr Box kTopBand{0, 0, 1023, Hud::kBandBottom};
constexpr Box kBossBar{772, 714, 1012, 746};

// The pixels of `colours` in `box` of the frame: where the labels' letters
// and the bars lie.
std::vector<std::size_t> Where(const Frame& f, const Box& box,
                               const std::vector<std::uint32_t>& colours) {
    std::vector<std::size_t> at;
    for (int y = box.y0; y <= box.y1; ++y) {
        for (int x = box.x0; x <= box.x1; ++x) {
            const std::size_t i = std::size_t(y) * 1024 + std::size_t(x);
            if (std::find(colours.begin(), colours.end(), f[i]) != colours.end()) {
                at.push_back(i);
            }
        }
    }
    return at;
}

// The display's own colours: its letters, the bars and their frames.
const std::vector<std::uint32_t> kHudColours = {
    Hud::kTextColor,   Hud::kHealth.color,     Hud::kHealth.frameColor,
    Hud::kMagic.color, Hud::kMagic.frameColor,
};

class HudOnTop : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::NewGameState();
        LoadPictures();
        world.dragon.x = 60;
        world.dragon.y = 400;
        world.dragon.special = 5; // every icon of the row in place
    }

    Frame Render(const BattleScene& battle) {
        world.backgrounds[1].x = -700;
        Draw(battle, world);
        return Grab();
    }

    // A frame with `cover` over the labels against the same frame without,
    // compared on the pixels of `colours` in `box`.
    void ExpectUncovered(const BattleScene& battle, const Box& box,
                         const std::vector<std::uint32_t>& colours,
                         const std::function<void()>& cover) {
        const World bare = world;
        const Frame clear = Render(battle);
        cover();
        const Frame covered = Render(battle);
        const auto want = Where(clear, box, colours);
        ASSERT_GT(want.size(), 500u) << "no display found to cover";
        for (const std::size_t i : want) {
            ASSERT_EQ(covered[i], clear[i])
                << "covered at " << i % 1024 << "," << i / 1024 << ": the display lies under";
        }
        world = bare;
    }
};

TEST_F(HudOnTop, TheStormCloudsShotsEnemiesAndBlastsLeaveTheDisplayAsItDraws) {
    ExpectUncovered(BattleScene{}, kTopBand, kHudColours, [] {
        // The thunderhead at the top of its drift over the score and the specials.
        world.items[6][1].state = world.items[6][2].state = true;
        world.items[6][1].x = 600;
        world.items[6][1].y = 60;
        world.items[6][2].x = 600;
        world.items[6][2].y = 700;
        // Ice shards and shots over the health, an enemy over the lives,
        // blasts over the magic and the difficulty.
        for (std::uint32_t k = 0; k < 8; ++k) {
            Bullet& b = world.bullets[k + 1];
            b.state = true;
            b.type = k % 2 == 0 ? 11 : 1;
            b.x = 900 + 14 * static_cast<float>(k);
            b.y = 20 + 5 * static_cast<float>(k);
        }
        world.enemies[3] = {.x = 50, .y = 35, .type = 1, .path = 1, .state = true};
        world.enemies[4] = {.x = 230, .y = 40, .type = 2, .path = 1, .state = true};
        world.explosions[1] = {.counter = 1, .type = 1, .x = 790, .y = 40, .state = true};
        world.explosions[2] = {.counter = 1, .type = 2, .x = 420, .y = 45, .state = true};
    });
}

TEST_F(HudOnTop, TheStormAttackAndTheBossLeaveTheDisplayAndTheBossBar) {
    world.enemies[Boss::kBoss] = {.x = 880, .y = 720, .health = 4000, .state = true};
    const BattleScene storm{.fight = WindFight{.storming = true, .fullHealth = 10000}};
    const auto attack = [] {
        // The storm's picture, anchored so that it reaches over the top band.
        Bullet& area = world.bullets[kAreaSlot];
        area.state = true;
        area.type = kAreaType;
        area.x = 900;
        area.y = 120;
        // A hatchling over the boss's bar.
        world.enemies[5] = {.x = 860, .y = 730, .type = 1, .path = 1, .state = true};
    };
    ExpectUncovered(storm, kTopBand, kHudColours, attack);
    ExpectUncovered(storm, kBossBar, {Hud::kTextColor, Colours::kGreen, Colours::kDarkGreen},
                    attack);
}

} // namespace
