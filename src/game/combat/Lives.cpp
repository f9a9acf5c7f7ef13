#include "game/combat/Lives.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "game/core/World.h"

#include <array>

namespace Morvek {

namespace {

// The cheat keys; each level offers more of them.
enum class Stock : std::uint8_t { Special, Lives, Upgrade };
struct Cheat {
    std::uint32_t key;
    std::uint32_t fromLevel;
    Stock stock;
    std::int32_t value;
};
constexpr std::array<Cheat, 3> kCheats = {{
    {Display::KeyCode::kKeypad1, 1, Stock::Special, 5},
    {Display::KeyCode::kKeypad2, 2, Stock::Lives, 4},
    {Display::KeyCode::kKeypad3, 3, Stock::Upgrade, 6},
}};

// Set by the screens, which lie above the play.
void (*gameOver)() = [] {};

} // namespace

void SetGameOver(void (*show)()) {
    gameOver = show;
}

void SettleLives() {
    if (world.dragon.health <= 0) {
        world.dragon.state = false;
        world.growCounter = 0;
        world.dragon.health = 100;
        world.dragon.magic = 100;
        world.dragon.x = 60;
        world.dragon.y = 369;
        world.dragon.beamReady = true;
        world.beamRunning = false;
        world.shieldRunning = true; // the new dragon comes with its shield up
    }
    if (!world.dragon.state) {
        world.dragon.lives = world.dragon.lives - 1;
        world.dragon.state = true;
    }
    if (world.dragon.lives <= 0) {
        gameOver();
    }
}

void Cheats() {
    for (const Cheat& c : kCheats) {
        if (world.level < c.fromLevel || world.level > 3 || !Display::KeyDown(c.key)) {
            continue;
        }
        switch (c.stock) {
        case Stock::Special:
            world.dragon.special = static_cast<std::uint32_t>(c.value);
            break;
        case Stock::Lives:
            world.dragon.lives = c.value;
            break;
        case Stock::Upgrade:
            world.dragon.upgrade = static_cast<std::uint32_t>(c.value);
            break;
        }
    }
}

} // namespace Morvek
