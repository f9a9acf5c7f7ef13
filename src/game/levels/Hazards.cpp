#include "game/levels/Hazards.h"
#include "game/combat/Enemies.h"
#include "game/core/World.h"
#include "util/StandardLib.h"

#include <algorithm>

namespace Procedures {

namespace {

// Hazard periods at difficulty 1; a livelier game divides them.
constexpr card kCastlePeriod = 150;
constexpr card kIciclePeriod = 80;
constexpr card kAimedIciclePeriod = 280;
constexpr card kFireballPeriod = 100;
constexpr card kSecondFireballPeriod = 130;

// True on the ticks an event of the given period falls due. The difficulty is
// 1 to 10 in play; the clamp keeps a stray value from dividing by zero.
bool Due(card period) {
    const card d = std::clamp<card>(world.actualDifficulty, 1, period);
    return world.counter % (period / d) == 0;
}

// The first free slot, or the last one whether free or not: both spawn rules
// of a tick share it.
template <typename Busy> card HazardSlot(card last, Busy busy) {
    card i = 1;
    while (busy(i) && i < last) {
        ++i;
    }
    return i;
}

constexpr integer kIcicleTop = -130;
constexpr integer kIcicleFall = 10;
constexpr integer kFieldBottom = 768;

void DropIcicle(card slot, integer x) {
    world.icicles[slot].x = x;
    world.icicles[slot].y = kIcicleTop;
    world.icicles[slot].update = true;
}

constexpr real kFireballDrift = -7;
constexpr real kGravity = 0.65f;

void Launch(card slot, card fastest) {
    Item& f = world.fireballs[slot];
    f.state = true;
    f.x = static_cast<real>(StandardLib::RandomCard(300, 950));
    f.y = static_cast<real>(StandardLib::RandomCard(700, 750));
    f.startY = f.y;
    f.speedX = kFireballDrift;
    f.speedY = -static_cast<real>(StandardLib::RandomCard(20, fastest));
    f.counter = 0;
}

} // namespace

void Backgroundenemy() {
    const card slot = HazardSlot(100, [](card i) { return world.enemies[i].state; });
    if (Due(kCastlePeriod)) {
        CreateEnemy(995, static_cast<real>(StandardLib::RandomCard(680, 743)), slot, 5, 5);
    }
}

void Ijspegel() {
    const card slot = HazardSlot(20, [](card i) { return world.icicles[i].update; });
    if (Due(kIciclePeriod)) {
        DropIcicle(slot, static_cast<integer>(StandardLib::RandomCard(40, 980)));
    }
    if (Due(kAimedIciclePeriod)) {
        DropIcicle(slot, static_cast<integer>(world.dragon.x));
    }
    for (card i = 1; i <= 20; ++i) {
        if (world.icicles[i].update) {
            world.icicles[i].y += kIcicleFall;
        }
    }
    for (card i = 1; i <= 20; ++i) {
        if (world.icicles[i].y >= kFieldBottom) {
            world.icicles[i].update = false;
        }
    }
}

void Vuurbal() {
    const card slot = HazardSlot(10, [](card i) { return world.fireballs[i].state; });
    if (Due(kFireballPeriod)) {
        Launch(slot, 27);
    }
    if (Due(kSecondFireballPeriod)) {
        Launch(slot, 30);
    }
    for (card i = 1; i <= 10; ++i) {
        Item& f = world.fireballs[i];
        if (f.state) {
            const auto n = static_cast<real>(f.counter);
            f.x += kFireballDrift;
            f.y = f.startY + n * f.speedY + kGravity * n * n / 2;
            ++f.counter;
        }
    }
    for (card i = 1; i <= 10; ++i) {
        if (world.fireballs[i].y >= 790 || world.fireballs[i].x <= -30) {
            world.fireballs[i].state = false;
        }
    }
}

} // namespace Procedures
