#include "game/combat/EnemyFire.h"
#include "game/combat/EnemyTables.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"
#include "util/Random.h"

namespace Morvek {

namespace {

namespace T = EnemyTables;

// Each enemy fires only while the bullet slot of its own number is free.
static_assert(kBulletSlots >= kEnemySlots);

// Flies parallel to the line from (px, py) to the dragon's centre as it is now,
// always `h` pixels sideways per tick.
void Aim(Bullet& b, float px, float py, float h, float down) {
    const float dx = px - world.dragon.x;
    const float dy = py - world.dragon.y;
    if (dx > 0) {
        b.speedX = -h;
        b.speedY = -h * dy / dx;
    } else if (dx < 0) {
        b.speedX = h;
        b.speedY = h * dy / dx;
    } else {
        b.speedX = 0;
        b.speedY = down;
    }
}

// The shot starts left of the enemy by its slot's hit radius, which enemy fire
// never sets: a slot last used by the dragon's gun launches further out.
void Launch(Bullet& b, const Enemy& e, std::uint32_t type) {
    b.x = e.x - 25 - b.radius;
    b.y = e.y;
    b.type = type;
    b.state = true;
}

bool Triggered(const FireRule& rule) {
    switch (rule.trigger) {
    case Trigger::BelowDPlus:
        return world.random.Between(1, rule.roll) < world.actualDifficulty + rule.value;
    case Trigger::Equals:
        return world.random.Between(1, rule.roll) == rule.value;
    default:
        return false;
    }
}

void FireByRule(const Enemy& e, std::uint32_t i) {
    const FireRule& rule = Kind(e.type).fire;
    if (!Triggered(rule)) {
        return;
    }
    Bullet& b = world.bullets[i];
    if (rule.aimed) {
        Aim(b, e.x, e.y, rule.speed, rule.down);
    } else {
        b.speedX = -rule.speed;
        b.speedY = 0;
    }
    Launch(b, e, rule.shot);
}

void Tornado(std::uint32_t i) {
    if (world.random.Between(1, 5) != 2) {
        return;
    }
    Bullet& b = world.bullets[i];
    b.x = T::kTornadoX;
    b.y = T::kTornadoY[world.random.Between(1, 2)];
    Aim(b, b.x, b.y, T::kTornadoSpeed, T::kTornadoDown);
    b.type = T::kTornadoShot;
    b.state = true;
}

void IceVolley(std::uint32_t i) {
    for (const T::IceShot& s : T::kIceVolley) {
        const std::uint32_t j = s.jmax == 0 ? 0 : world.random.Between(s.jmin, s.jmax);
        const float x = static_cast<float>(world.random.Between(s.xmin, s.xmax));
        // Only slot 1 keeps the volley inside the table; from elsewhere the
        // shots past the last slot are dropped, the draws still made.
        if (i + j > kBulletSlots) {
            continue;
        }
        Bullet& b = world.bullets[i + j];
        b.x = x;
        b.y = T::kIceY;
        b.speedX = T::kIceSpeedX;
        b.speedY = T::kIceSpeedY;
        b.type = T::kIceShot;
        b.state = true;
    }
}

void Hatch(const Enemy& boss, std::uint32_t i) {
    if (i == 1) {
        i = world.random.Between(1, 98) + 1;
    }
    if (world.random.Between(1, 50) != 27) {
        return;
    }
    // Health, size and phase stay as the slot held them; the fight sets them.
    Enemy& e = world.enemies[i];
    e.type = EnemyType::kHatchling;
    e.path = T::kBroodPath;
    e.y = i % 2 == 1 ? boss.y + 50 : boss.y - 50;
    e.x = boss.x - 250 - static_cast<float>(world.random.Between(1, 100));
    e.state = true;
}

} // namespace

void EnemiesShoot() {
    for (const std::uint32_t k : Slots(world.enemies)) {
        const Enemy& e = world.enemies[k];
        // An enemy acts only while the bullet slot of its own number is free,
        // which also guarantees a free slot at or below k.
        if (!e.state || world.bullets[k].state) {
            continue;
        }
        std::uint32_t i = 1;
        while (world.bullets[i].state) {
            ++i;
        }
        switch (Kind(e.type).fire.trigger) {
        case Trigger::Tornado:
            Tornado(i);
            break;
        case Trigger::IceVolley:
            IceVolley(i);
            break;
        case Trigger::Hatch:
            Hatch(e, i);
            break;
        default:
            FireByRule(e, i);
            break;
        }
    }
}

void MoveBullets() {
    for (const std::uint32_t i : Slots(world.bullets)) {
        Bullet& b = world.bullets[i];
        if (b.state) {
            b.x = b.x + b.speedX;
            b.y = b.y + b.speedY;
        }
        if (!(b.x > 0 && b.x < 1030 && b.y > 0 && b.y < 790)) {
            b.state = false;
        }
    }
}

} // namespace Morvek
