#include "game/levels/Battle.h"

#include "display/Display.h"
#include "game/combat/Field.h"
#include "game/combat/HitLooks.h"
#include "game/combat/KeyGuide.h"
#include "game/combat/Lives.h"
#include "game/combat/Render.h"
#include "game/combat/TickOrder.h"
#include "game/core/EnemyKinds.h"
#include "game/core/Pause.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"
#include "game/levels/Difficulty.h"
#include "game/levels/Levels.h"
#include "util/Overloaded.h"

#include <variant>

namespace Morvek {

namespace {

constexpr std::uint32_t kEntryPasses = 10;
constexpr float kEntryStep = 20;

// The difficulty follows the play; the level's hazards move.
class WaveSteps final : public TickSteps {
  public:
    WaveSteps() : TickSteps(kWaveShape) {}
    void Count() override { world.actualDifficulty = DynamicDifficulty(world.actualDifficulty); }
    void Rules() override { LevelHazard(world.level); }
};

using Util::Overloaded;

void Play(Fight& fight) {
    std::visit(Overloaded{[](std::monostate) {
                              WaveSteps steps;
                              TickPlay(steps);
                          },
                          [](auto& f) { Boss::Play(f); }},
               fight);
}

const TickSteps::Shape& ShapeOf(const Fight& fight) {
    return std::holds_alternative<std::monostate>(fight) ? kWaveShape : kFightShape;
}

// The God of the Winds leaves his clouds behind.
void LeaveField(const Fight& fight) {
    if (std::holds_alternative<WindFight>(fight)) {
        world.items[kCloudRow][1].state = false;
        world.items[kCloudRow][2].state = false;
    }
}

} // namespace

Next Update(BattleScene& b, World& w) {
    using At = BattleScene::At;
    for (;;) {
        switch (b.at) {
        case At::Start:
            if (std::holds_alternative<std::monostate>(b.fight)) {
                b.pass = 1;
                b.at = At::GlideIn;
            } else {
                std::visit(Overloaded{[](std::monostate) {}, [](auto& f) { Boss::Setup(f); }},
                           b.fight);
                b.at = At::Tick;
            }
            break;
        case At::GlideIn:
            KeepPauseAsked();
            if (GlideInPass(b.pass)) {
                ++b.pass;
                return TickWait(w.tickMs);
            }
            b.at = At::Tick;
            break;
        case At::Tick:
            Play(b.fight);
            b.at = At::Slept;
            return TickWait(w.tickMs);
        case At::Slept:
            b.at = At::Resumed;
            if (PauseAsked()) {
                return Open(w, PauseScene{.interrupted = w.mode});
            }
            break;
        case At::Resumed:
            TickSettle(ShapeOf(b.fight));
            if (GameLost()) {
                b.at = At::Tick;
                return Open(w, GameOverScene{});
            }
            if (WaveCleared()) {
                LeaveField(b.fight);
                return Done();
            }
            b.at = At::Tick;
            break;
        }
    }
}

void WaveTickPlay() {
    WaveSteps steps;
    TickPlay(steps);
}

void DrawWithoutKeys(const BattleScene& b, const World& w) {
    DrawPlay();
    DrawDragonFlash(w);
    std::visit(Overloaded{[](std::monostate) {}, [](const auto& f) { Boss::Overlay(f); }}, b.fight);
    // The field shakes, and whatever covers it stays where it is.
    const Offset shake = Shake(w.looks);
    Display::ShiftFrame(shake.dx, shake.dy);
    DrawLossFlare(w.looks);
    if (FieldShown()) {
        DrawHud();
    }
    std::visit(
        Overloaded{[](std::monostate) {}, [](const auto& f) { Boss::HealthBar(f.fullHealth); }},
        b.fight);
}

void Draw(const BattleScene& b, const World& w) {
    DrawWithoutKeys(b, w);
    DrawKeyGuide(w);
}

bool GlideInPass(std::uint32_t pass) {
    FieldRules();
    for (const std::uint32_t i : Slots(world.enemies)) {
        Enemy& e = world.enemies[i];
        if (!e.state || !Kind(e.type).glidesIn) {
            continue;
        }
        if (pass > kEntryPasses) {
            return false;
        }
        e.x = e.x - kEntryStep;
    }
    // A wave with nothing to glide in is done gliding too; waiting for one
    // would never end.
    return pass <= kEntryPasses;
}

bool WaveCleared() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        if (world.enemies[i].state && Kind(world.enemies[i].type).holdsUpWave) {
            return false;
        }
    }
    return true;
}

void ClearField() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        world.enemies[i].state = false;
    }
    for (const std::uint32_t i : Slots(world.bullets)) {
        world.bullets[i].state = false;
    }
    for (const std::uint32_t i : Slots(world.items)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            world.items[i][j].state = false;
            world.items[i][j].textShown = false;
        }
    }
    for (const std::uint32_t i : Slots(world.explosions)) {
        world.explosions[i].state = false;
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        world.icicles[i].state = false;
    }
    for (const std::uint32_t i : Slots(world.fireballs)) {
        world.fireballs[i].state = false;
    }
    world.beamRunning = false;
    world.shieldRunning = false;
}

} // namespace Morvek
