#include "game/combat/Collision.h"
#include "game/combat/Damage.h"
#include "game/combat/Items.h"
#include "game/combat/Tables.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"

#include <cmath>

namespace Morvek {

namespace {

constexpr float kDragonRadius = 25;
constexpr float kItemReach = 43.75f;
constexpr float kFireballReach = 50;
constexpr std::uint32_t kExplosionsAlive = 5;

struct Point {
    float x;
    float y;
};

// The point r away from a towards b. When the two centres coincide there is
// no direction, so the impact stays at a.
Point Toward(Point a, Point b, float r) {
    const float d = Distance(a.x, b.x, a.y, b.y);
    if (d == 0) {
        return a;
    }
    return {a.x + (b.x - a.x) * r / d, a.y + (b.y - a.y) * r / d};
}

Point Midpoint(Point a, Point b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2};
}

Point DragonAt() {
    return {world.dragon.x, world.dragon.y};
}

void ExplosionAt(Point p, std::uint32_t type) {
    SetOffExplosion(p.x, p.y, type);
}

void ShotsAgainstTargets() {
    for (const std::uint32_t i : Slots(world.bullets)) {
        Bullet& shot = world.bullets[i];
        if (!shot.state) {
            continue;
        }
        const Point at{shot.x, shot.y};
        if (shot.type != 0) {
            if (Distance(shot.x, world.dragon.x, shot.y, world.dragon.y) <=
                shot.radius + kDragonRadius) {
                DragonHit(i);
                shot.state = false;
                ExplosionAt(Toward(at, DragonAt(), shot.radius), 2);
            }
            continue;
        }
        // One fireball strikes every enemy it overlaps in this tick.
        for (const std::uint32_t j : Slots(world.enemies)) {
            const Enemy& e = world.enemies[j];
            if (e.state && Distance(shot.x, e.x, shot.y, e.y) <= e.diameter / 2 + shot.radius) {
                const Point target{e.x, e.y};
                ShotHit(j);
                shot.state = false;
                ExplosionAt(Toward(at, target, shot.radius), 2);
            }
        }
    }
}

void ItemsAgainstDragon() {
    for (const std::uint32_t i : Slots(1, kItemKinds)) {
        for (const std::uint32_t j : Slots(world.items[i])) {
            const Item& item = world.items[i][j];
            if (item.state &&
                Distance(item.x, world.dragon.x, item.y, world.dragon.y) <= kItemReach) {
                CollectItem(i, j);
            }
        }
    }
}

void FireballsAgainstDragon() {
    for (const std::uint32_t i : Slots(world.fireballs)) {
        Item& ball = world.fireballs[i];
        if (ball.state &&
            Distance(ball.x, world.dragon.x, ball.y, world.dragon.y) <= kFireballReach) {
            ball.state = false;
            world.dragon.health = world.dragon.health - 50;
            ExplosionAt(Midpoint(DragonAt(), {ball.x, ball.y}), 1);
        }
    }
}

void Ramming() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        Enemy& e = world.enemies[i];
        if (e.state &&
            Distance(e.x, world.dragon.x, e.y, world.dragon.y) <= e.diameter / 2 + kDragonRadius) {
            e.state = false;
            e.counter = 0;
            world.dragon.health = 0;
            ExplosionAt(Toward({e.x, e.y}, DragonAt(), e.diameter), 1);
        }
    }
}

void ShotAgainstShot() {
    for (const std::uint32_t i : Slots(world.bullets)) {
        Bullet& a = world.bullets[i];
        if (!a.state) {
            continue;
        }
        // A cancelled shot goes on cancelling the rest of this pass.
        for (const std::uint32_t j : Slots(world.bullets)) {
            Bullet& b = world.bullets[j];
            if (b.state && b.type != a.type && Distance(a.x, b.x, a.y, b.y) <= 2 * a.radius) {
                a.state = false;
                b.state = false;
                ExplosionAt(Midpoint({a.x, a.y}, {b.x, b.y}), 2);
            }
        }
    }
}

} // namespace

void Collision() {
    ShotsAgainstTargets();
    ItemsAgainstDragon();
    FireballsAgainstDragon();
    Ramming();
    ShotAgainstShot();
}

void DamageEnemy(std::uint32_t i, std::int32_t damage) {
    Enemy& e = world.enemies[i];
    e.health = e.health - damage;
    if (e.health <= 0) {
        AddScore(e.type);
        e.state = false;
        e.counter = 0;
        DropItem(i);
    }
}

void ShotHit(std::uint32_t i) {
    DamageEnemy(i, Kind(world.enemies[i].type).shotDamage);
}

void DragonHit(std::uint32_t i) {
    world.dragon.health =
        world.dragon.health - Tables::ByType(Tables::kDragonDamage, world.bullets[i].type);
}

void SetOffExplosion(float x, float y, std::uint32_t type) {
    const std::uint32_t alive = CountUsed(world.explosions);
    if (alive >= kExplosionsAlive) {
        return;
    }
    for (const std::uint32_t i : Slots(world.explosions)) {
        Blast& ex = world.explosions[i];
        if (!ex.state) {
            // The age is left alone: it is 0 whenever AgeExplosions freed the slot.
            ex.state = true;
            ex.x = x;
            ex.y = y;
            ex.type = type;
            return;
        }
    }
}

void AgeExplosions() {
    for (const std::uint32_t i : Slots(world.explosions)) {
        Blast& ex = world.explosions[i];
        if (ex.state) {
            ex.counter = ex.counter + 1;
            if (ex.counter >= 3) {
                ex.state = false;
                ex.counter = 0;
            }
        }
    }
}

void AddScore(std::uint32_t type) {
    world.score = world.score + Kind(type).points;
}

float Distance(float x1, float x2, float y1, float y2) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace Morvek
