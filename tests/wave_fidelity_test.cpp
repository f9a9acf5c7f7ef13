// How a wave's frames are put together: the glide into view, the layers of a
// frame and the order of the work within one tick.
#include "display/Display.h"
#include "display/Run.h"
#include "game/combat/Enemies.h"
#include "game/combat/Field.h"
#include "game/combat/Render.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "support/Pictures.h"
#include "support/Steps.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Morvek;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::uint32_t Solid(std::uint32_t w, std::uint32_t h, std::uint32_t colour) {
    return TestPictures::Solid(colour, w, h);
}

// A level-1 field whose deadly area is all white, so the dragon lives.
void SafeField() {
    TestWorld::NewGameState();
    const std::uint32_t white = Solid(1024, 768, kWhite);
    const std::uint32_t blue = Solid(1024, 768, 0x0000FF);
    world.pictures[Picture::Back1] = {blue};
    world.pictures[Picture::Back1Mirror] = {blue};
    world.pictures[Picture::Border1] = {white};
    world.pictures[Picture::Border1Mirror] = {white};
}

std::uint32_t framesShown = 0;
void CountFrames() {
    framesShown = 0;
    Display::Run::SetFrameHook([] { ++framesShown; });
}

} // namespace

TEST(WaveFidelity, EntryGlidesInTenShownFramesAndNothingElseMoves) {
    SafeField();
    CountFrames();
    world.tickMs = 60;
    CreateEnemy(1150, 300, 3, 2, 1);
    CreateEnemy(800, 600, 5, 5, 5); // a castle keeps its place
    const std::int32_t scroll = world.backgrounds[1].x;
    const std::uint64_t start = Display::Run::ClockMs();
    world.scenes.Push(BattleScene{});
    for (int pass = 0; pass < 10; ++pass) {
        ASSERT_TRUE(Steps::Once());
    }
    EXPECT_FLOAT_EQ(world.enemies[3].x, 950);
    EXPECT_FLOAT_EQ(world.enemies[3].y, 300);
    EXPECT_FLOAT_EQ(world.enemies[5].x, 800);
    EXPECT_EQ(world.enemies[3].counter, 0u);
    EXPECT_EQ(framesShown, 10u);
    EXPECT_EQ(Display::Run::ClockMs() - start, 600u);
    EXPECT_EQ(world.backgrounds[1].x, scroll - 10 * 7);
    EXPECT_EQ(world.counter, 1u);
    EXPECT_EQ(world.actualDifficulty, 4u);
    // The glide's last pass draws a frame it never shows: the first tick's
    // frame comes straight after it.
    ASSERT_TRUE(Steps::Once());
    EXPECT_EQ(framesShown, 11u);
    EXPECT_EQ(world.counter, 2u);
    EXPECT_EQ(world.backgrounds[1].x, scroll - 12 * 7);

    // Only castles: the glide ends by itself instead of drawing forever.
    world.scenes = SceneStack{};
    world.enemies[3].state = false;
    const float castle = world.enemies[5].x; // the tick moved it with the field
    world.scenes.Push(BattleScene{});
    for (int pass = 0; pass < 10; ++pass) {
        ASSERT_TRUE(Steps::Once());
    }
    EXPECT_EQ(framesShown, 21u);
    EXPECT_FLOAT_EQ(world.enemies[5].x, castle);
    EXPECT_EQ(world.counter, 2u);
    ASSERT_TRUE(Steps::Once());
    EXPECT_EQ(world.counter, 3u); // and the wave plays on
    Display::Run::SetFrameHook(nullptr);
}

TEST(WaveFidelity, LayersStackInDrawOrder) {
    SafeField();
    const std::uint32_t mask = Solid(1024, 768, kWhite);
    constexpr std::uint32_t kDragon = 0x000011, kEnemy = 0x000022, kItem = 0x000033,
                            kShot = 0x000044, kBlast = 0x000055;
    world.pictures[Picture::Dragon1] = {Solid(50, 50, kDragon), mask};
    world.pictures[Picture::Dragon2] = world.pictures[Picture::Dragon1];
    world.pictures[Picture::Bat] = {Solid(50, 50, kEnemy), mask};
    world.pictures[Picture::Heart] = {Solid(37, 37, kItem), mask};
    world.pictures[Picture::EnemyFire] = {Solid(20, 20, kShot), mask};
    world.pictures[Picture::Explosion] = {Solid(50, 50, kBlast), mask};

    // Everything over one point of the field (the display lies over it all).
    world.dragon.x = 910;
    world.dragon.y = 145;
    CreateEnemy(910, 145, 1, 1, 0);
    world.items[1][1].state = true;
    world.items[1][1].x = 910;
    world.items[1][1].y = 145;
    world.bullets[1] = {-15, 0, 910, 145, 5, true, 1};
    world.explosions[1] = {0, 1, 910, 145, true};

    const auto top = [] {
        FieldRules();
        Draw();
        return Display::GetPixel(905, 145);
    };
    EXPECT_EQ(top(), kBlast);
    world.explosions[1].state = false;
    EXPECT_EQ(top(), kShot);
    world.bullets[1].state = false;
    EXPECT_EQ(top(), kItem);
    world.items[1][1].state = false;
    EXPECT_EQ(top(), kEnemy);
    world.enemies[1].state = false;
    EXPECT_EQ(top(), kDragon);
}

TEST(WaveFidelity, ATickMovesBeforeItFiresAndRearmsBeforeTheGun) {
    SafeField();
    // Difficulty 10 held by its history, at which a Bat always fires.
    world.actualDifficulty = 10;
    world.difficultyHistory.fill(10);
    world.counter = 6; // this tick is the 7th: the gun re-arms and fires at once
    Display::Run::InputEvent space;
    space.kind = Display::Run::InputEvent::KeyDown;
    space.code = 0x20;
    Display::Run::Apply(space);
    CreateEnemy(700, 300, 50, 1, 4);
    const std::int32_t magic = world.dragon.magic;

    Steps::WaveTick();

    EXPECT_EQ(world.counter, 7u);
    EXPECT_EQ(world.dragon.magic, magic - 5);
    bool gunFired = false;
    const Bullet* batShot = nullptr;
    for (const std::uint32_t i : Slots(world.bullets)) {
        gunFired = gunFired || (world.bullets[i].state && world.bullets[i].type == 0);
        if (world.bullets[i].state && world.bullets[i].type == 1) {
            batShot = &world.bullets[i];
        }
    }
    EXPECT_TRUE(gunFired);
    ASSERT_NE(batShot, nullptr);
    // Fired from where the Bat moved to this tick, and not yet moved itself.
    EXPECT_FLOAT_EQ(world.enemies[50].x, 679);
    EXPECT_FLOAT_EQ(batShot->x, 679 - 25 - batShot->radius);
    EXPECT_FLOAT_EQ(batShot->y, 300);
}

TEST(WaveFidelity, DeathOnTheWallLeavesTheIciclesFalling) {
    SafeField();
    world.level = 2;
    const std::uint32_t blue = Solid(1024, 768, 0x0000FF), black = Solid(1024, 768, 0);
    for (const Picture p : {Picture::Back2, Picture::Back2Mirror}) {
        world.pictures[p] = {blue};
    }
    for (const Picture p : {Picture::Border2, Picture::Border2Mirror}) {
        world.pictures[p] = {black};
    }
    world.pictures[Picture::IcicleContact] = {Solid(30, 150, 0)};
    world.icicles[2] = {600, 250, true};
    world.dragon.x = 300;
    world.dragon.y = 300;
    FieldRules();
    Draw();
    EXPECT_EQ(world.dragon.health, 0);
    EXPECT_TRUE(world.icicles[2].state);
    EXPECT_EQ(std::count_if(world.explosions.begin(), world.explosions.end(),
                            [](const Blast& e) { return e.state; }),
              1); // the wall's alone
}
