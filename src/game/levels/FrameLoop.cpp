#include "game/levels/FrameLoop.h"
#include "display/Display.h"
#include "game/combat/Field.h"
#include "game/combat/TickOrder.h"
#include "game/core/World.h"
#include "game/levels/Difficulty.h"
#include "game/levels/Hazards.h"
#include "game/levels/Levels.h"

namespace Morvek {

namespace {

constexpr std::uint32_t kEntryPasses = 10;
constexpr float kEntryStep = 20;
constexpr std::uint32_t kCastle = 5; // never holds up a wave, never glides in

void RunLevelHazard() {
    switch (world.level) {
    case 1:
        CastleHazard();
        break;
    case 2:
        IcicleHazard();
        break;
    case 3:
        FireballHazard();
        break;
    default:
        break;
    }
}

// The difficulty follows the play; the level's hazards move.
class WaveSteps final : public TickSteps {
  public:
    WaveSteps() : TickSteps(kWaveShape) {}
    void Count() override { world.actualDifficulty = DynamicDifficulty(world.actualDifficulty); }
    void Rules() override { RunLevelHazard(); }
};

} // namespace

void WaveTick() {
    WaveSteps steps;
    PlayTick(steps);
}

void PlayLevels() {
    do {
        switch (world.level) {
        case 1:
            Level1();
            break;
        case 2:
            Level2();
            break;
        case 3:
            Level3();
            break;
        default:
            // No script would ever move the game on: back to the menu
            // rather than spin forever.
            return;
        }
    } while (!world.returnToMenu);
}

void PlayWave() {
    world.mode = Mode::Wave;
    GlideIn();
    do {
        WaveTick();
    } while (!WaveCleared());
}

void GlideIn() {
    for (std::uint32_t pass = 1;; ++pass) {
        FieldFrame();
        for (const std::uint32_t i : Slots(world.enemies)) {
            Enemy& e = world.enemies[i];
            if (!e.state || e.type == kCastle) {
                continue;
            }
            if (pass > kEntryPasses) {
                return;
            }
            e.x = e.x - kEntryStep;
        }
        // A wave with nothing to glide in is done gliding too; waiting for
        // one would never end.
        if (pass > kEntryPasses) {
            return;
        }
        Display::UpdateWindow();
        Display::Sleep(world.tickMs);
    }
}

bool WaveCleared() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        if (world.enemies[i].state && world.enemies[i].type != kCastle) {
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
