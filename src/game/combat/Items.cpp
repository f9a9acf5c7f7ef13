#include "game/combat/Items.h"
#include "display/Display.h"
#include "game/combat/Tables.h"
#include "game/core/Colours.h"
#include "game/core/World.h"
#include "util/Random.h"

#include <cstdint>
#include <string_view>

namespace Morvek {

namespace {

constexpr std::uint32_t kItemLifetime = 100;
constexpr std::uint32_t kTextFrames = 125;
constexpr std::uint32_t kTextStyle = 5;
constexpr std::uint32_t kTextColor = Colours::kPurple;

// The chosen kind, or 0 when every draw failed.
std::uint32_t DrawDropKind() {
    for (const Tables::DropDraw& draw : Tables::kDropDraws) {
        if (world.random.Between(1, draw.max) == Tables::kDropHit) {
            return draw.kind;
        }
    }
    return 0;
}

// Works on the signed health and lives as on the unsigned weapon level and
// specials.
template <typename T> void Apply(const Tables::ItemKind& kind, T& stock) {
    const auto value = static_cast<std::int64_t>(stock);
    if (kind.limit == 0 || value < kind.limit) {
        stock = static_cast<T>(value + kind.step);
    } else if (!kind.keep) {
        stock = static_cast<T>(kind.otherwise);
    }
}

void ApplyEffect(std::uint32_t i) {
    const Tables::ItemKind& kind = Tables::kItems[i];
    switch (kind.stock) {
    case Tables::Stock::health:
        Apply(kind, world.dragon.health);
        break;
    case Tables::Stock::magic:
        Apply(kind, world.dragon.magic);
        break;
    case Tables::Stock::upgrade:
        Apply(kind, world.dragon.upgrade);
        break;
    case Tables::Stock::special:
        Apply(kind, world.dragon.special);
        break;
    case Tables::Stock::lives:
        Apply(kind, world.dragon.lives);
        break;
    }
}

// An item off screen keeps no position or speed.
void Park(Item& item) {
    item.x = 0;
    item.y = 0;
    item.speedX = 0;
    item.speedY = 0;
}

bool IsItemSlot(std::uint32_t i, std::uint32_t j) {
    return i >= 1 && i < world.items.size() && j >= 1 && j <= kItemSlots;
}

} // namespace

void DropItem(std::uint32_t i) {
    const std::uint32_t kind = DrawDropKind();
    if (kind == 0) {
        return;
    }
    auto& row = world.items[kind];
    for (const std::uint32_t k : Slots(row)) {
        Item& item = row[k];
        if (!item.state) {
            item.state = true;
            item.textShown = false;
            item.x = world.enemies[i].x;
            item.y = world.enemies[i].y;
            item.speedX = -7;
            item.speedY = 1;
            item.counter = 0;
            return;
        }
    }
    // All ten of this kind are on screen: nothing drops.
}

void MoveItems() {
    for (const std::uint32_t i : Slots(world.items)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            Item& item = world.items[i][j];
            if (!item.state) {
                continue;
            }
            item.x = item.x + item.speedX;
            item.y = item.y + item.speedY;
            item.counter = item.counter + 1;
            if (item.counter == kItemLifetime) {
                item.state = false;
                Park(item);
            }
        }
    }
}

void CollectItem(std::uint32_t i, std::uint32_t j) {
    if (!IsItemSlot(i, j)) {
        return;
    }
    if (i <= kItemKinds) {
        ApplyEffect(i);
    }
    // The age stays: the text runs on from it.
    Item& item = world.items[i][j];
    item.state = false;
    item.textShown = true;
    Park(item);
}

void ShowItemText(std::uint32_t i, std::uint32_t j) {
    Display::SetFont(kTextStyle, kTextColor);
    if (!IsItemSlot(i, j) || world.items[i][j].counter > kTextFrames) {
        return;
    }
    const std::string_view text = i <= kItemKinds ? Tables::kItems[i].text : "";
    Display::Text(text, static_cast<std::int32_t>(world.dragon.x + 25),
                  static_cast<std::int32_t>(world.dragon.y - 30));
}

void AgeItemTexts() {
    // The one text shown is the first in the table; the others wait their turn.
    for (const std::uint32_t i : Slots(1, kItemKinds)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            Item& item = world.items[i][j];
            if (!item.textShown) {
                continue;
            }
            if (item.counter > kTextFrames) {
                item.textShown = false;
            } else {
                item.counter = item.counter + 1;
            }
            return;
        }
    }
}

} // namespace Morvek
