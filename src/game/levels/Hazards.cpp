#include "game/levels/Hazards.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyTables.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"
#include "util/Random.h"

#include <algorithm>

namespace Morvek {

namespace {

// Hazard periods at difficulty 1; a livelier game divides them.
constexpr std::uint32_t kCastlePeriod = 150;
constexpr std::uint32_t kIciclePeriod = 80;
constexpr std::uint32_t kAimedIciclePeriod = 280;
constexpr std::uint32_t kFireballPeriod = 100;
constexpr std::uint32_t kSecondFireballPeriod = 130;

// True on the ticks an event of the given period falls due. The difficulty is
// 1 to 10 in play; the clamp keeps a stray value from dividing by zero.
bool Due(std::uint32_t period) {
    const std::uint32_t d = std::clamp<std::uint32_t>(world.actualDifficulty, 1, period);
    return world.counter % (period / d) == 0;
}

// The first free slot, or the last one whether free or not: both spawn rules
// of a tick share it.
template <typename Busy> std::uint32_t HazardSlot(std::uint32_t last, Busy busy) {
    std::uint32_t i = 1;
    while (busy(i) && i < last) {
        ++i;
    }
    return i;
}

constexpr std::int32_t kIcicleTop = -130;
constexpr std::int32_t kIcicleFall = 10;
constexpr std::int32_t kFieldBottom = 768;

void DropIcicle(std::uint32_t slot, std::int32_t x) {
    world.icicles[slot].x = x;
    world.icicles[slot].y = kIcicleTop;
    world.icicles[slot].state = true;
}

constexpr float kFireballDrift = -7;
constexpr float kGravity = 0.65f;

void Launch(std::uint32_t slot, std::uint32_t fastest) {
    Item& f = world.fireballs[slot];
    f.state = true;
    f.x = static_cast<float>(world.random.Between(300, 950));
    f.y = static_cast<float>(world.random.Between(700, 750));
    f.startY = f.y;
    f.speedX = kFireballDrift;
    f.speedY = -static_cast<float>(world.random.Between(20, fastest));
    f.counter = 0;
}

} // namespace

void CastleHazard() {
    const std::uint32_t slot =
        HazardSlot(kEnemySlots, [](std::uint32_t i) { return world.enemies[i].state; });
    if (Due(kCastlePeriod)) {
        CreateEnemy(995, static_cast<float>(world.random.Between(680, 743)), slot,
                    EnemyType::kCastle, EnemyTables::kWithGroundPath);
    }
}

void IcicleHazard() {
    const std::uint32_t slot =
        HazardSlot(kIcicleSlots, [](std::uint32_t i) { return world.icicles[i].state; });
    if (Due(kIciclePeriod)) {
        DropIcicle(slot, static_cast<std::int32_t>(world.random.Between(40, 980)));
    }
    if (Due(kAimedIciclePeriod)) {
        DropIcicle(slot, static_cast<std::int32_t>(world.dragon.x));
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        if (world.icicles[i].state) {
            world.icicles[i].y += kIcicleFall;
        }
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        if (world.icicles[i].y >= kFieldBottom) {
            world.icicles[i].state = false;
        }
    }
}

void FireballHazard() {
    const std::uint32_t slot =
        HazardSlot(kFireballSlots, [](std::uint32_t i) { return world.fireballs[i].state; });
    if (Due(kFireballPeriod)) {
        Launch(slot, 27);
    }
    if (Due(kSecondFireballPeriod)) {
        Launch(slot, 30);
    }
    for (const std::uint32_t i : Slots(world.fireballs)) {
        Item& f = world.fireballs[i];
        if (f.state) {
            const auto n = static_cast<float>(f.counter);
            f.x += kFireballDrift;
            f.y = f.startY + n * f.speedY + kGravity * n * n / 2;
            ++f.counter;
        }
    }
    for (const std::uint32_t i : Slots(world.fireballs)) {
        if (world.fireballs[i].y >= 790 || world.fireballs[i].x <= -30) {
            world.fireballs[i].state = false;
        }
    }
}

} // namespace Morvek
