#include "game/core/FrameLoop.h"
#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "game/core/TickOrder.h"

#include <array>

namespace Procedures {

namespace {

constexpr card kEntryPasses = 10;
constexpr real kEntryStep = 20;
constexpr card kCastle = 5; // never holds up a wave, never glides in

// The cheat keys; each level offers more of them.
enum class Stock : std::uint8_t { Special, Lives, Upgrade };
struct Cheat {
    card key;
    card fromLevel;
    Stock stock;
    integer value;
};
constexpr std::array<Cheat, 3> kCheats = {{
    {0x61, 1, Stock::Special, 5},
    {0x62, 2, Stock::Lives, 4},
    {0x63, 3, Stock::Upgrade, 6},
}};

void RunLevelHazard() {
    switch (level) {
    case 1:
        Backgroundenemy();
        break;
    case 2:
        Ijspegel();
        break;
    case 3:
        Vuurbal();
        break;
    default:
        break;
    }
}

// The difficulty follows the play; the level's hazards move.
class WaveSteps final : public TickSteps {
  public:
    WaveSteps() : TickSteps(kWaveShape) {}
    void Count() override { actualDifficulty = DynamicDifficulty(actualDifficulty); }
    void Rules() override { RunLevelHazard(); }
};

} // namespace

void Tick() {
    WaveSteps steps;
    PlayTick(steps);
}

void Levelcontroller() {
    do {
        switch (level) {
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
    } while (!returnToMenu);
}

void Loop() {
    mode = Mode::Wave;
    EnterField();
    do {
        Tick();
    } while (!Proceed());
}

void EnterField() {
    for (card pass = 1;; ++pass) {
        FieldFrame();
        for (card i = 1; i <= 100; ++i) {
            Enemy& e = enemies[i];
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
        Wimdows::UpdateWindow();
        Wimdows::Sleep(speed);
    }
}

bool Proceed() {
    for (card i = 1; i <= 100; ++i) {
        if (enemies[i].state && enemies[i].type != kCastle) {
            return false;
        }
    }
    return true;
}

void LifeController() {
    if (dragon.health <= 0) {
        dragon.state = false;
        growCounter = 0;
        dragon.health = 100;
        dragon.magic = 100;
        dragon.x = 60;
        dragon.y = 369;
        dragon.beamReady = true;
        beamRunning = false;
        shieldRunning = true; // the new dragon comes with its shield up
    }
    if (!dragon.state) {
        dragon.lives = dragon.lives - 1;
        dragon.state = true;
    }
    if (dragon.lives <= 0) {
        GameOver();
    }
}

void ClearArrays() {
    for (card i = 1; i <= 100; ++i) {
        enemies[i].state = false;
    }
    for (card i = 1; i <= 100; ++i) {
        bullets[i].state = false;
    }
    for (card i = 1; i <= 6; ++i) {
        for (card j = 1; j <= 10; ++j) {
            items[i][j].state = false;
            items[i][j].textShown = false;
        }
    }
    for (card i = 1; i <= 25; ++i) {
        explosions[i].state = false;
    }
    for (card i = 1; i <= 20; ++i) {
        icicles[i].update = false;
    }
    for (card i = 1; i <= 10; ++i) {
        fireballs[i].state = false;
    }
    beamRunning = false;
    shieldRunning = false;
}

void Cheats() {
    for (const Cheat& c : kCheats) {
        if (level < c.fromLevel || level > 3 || !Wimdows::KeyDown(c.key)) {
            continue;
        }
        switch (c.stock) {
        case Stock::Special:
            dragon.special = static_cast<card>(c.value);
            break;
        case Stock::Lives:
            dragon.lives = c.value;
            break;
        case Stock::Upgrade:
            dragon.upgrade = static_cast<card>(c.value);
            break;
        }
    }
}

} // namespace Procedures
