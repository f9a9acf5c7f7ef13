#include "game/combat/Cheats.h"

#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"

#include <algorithm>
#include <array>

namespace Morvek {

namespace {

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

} // namespace

void Cheats() {
    for (const Cheat& c : kCheats) {
        if (world.level < c.fromLevel || world.level > kLastLevel || !Display::KeyDown(c.key)) {
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

bool CheatKeyDown() {
    return std::any_of(kCheats.begin(), kCheats.end(),
                       [](const Cheat& c) { return Display::KeyDown(c.key); });
}

} // namespace Morvek
