#include "game/combat/Enemies.h"
#include "game/combat/EnemyTables.h"
#include "game/core/EnemyKinds.h"
#include "game/core/Rates.h"
#include "game/core/World.h"
#include "util/Random.h"

namespace Morvek {

namespace {

void MoveAlongPath(Enemy& e) {
    const std::uint32_t k = e.counter;
    if (e.path < EnemyTables::kPaths.size()) {
        const EnemyTables::Path& p = EnemyTables::kPaths[e.path];
        if (p.count > 0) {
            std::uint32_t leg = 0;
            while (leg < p.count && k > p.legs[leg].last) {
                ++leg;
            }
            if (leg == p.count) {
                e.counter = 0; // restart; the rise below makes the new cycle begin at 1
            } else {
                e.x = e.x + p.legs[leg].dx + p.dxPerPhase * static_cast<float>(k);
                e.y = e.y + p.legs[leg].dy;
            }
        }
    }
    e.counter = e.counter + 1;
}

} // namespace

void CreateEnemy(float x, float y, std::uint32_t number, std::uint32_t type, std::uint32_t path) {
    if (number < 1 || number > kEnemySlots) {
        return;
    }
    Enemy& e = world.enemies[number];
    e.state = true;
    e.health = 100;
    e.x = x;
    e.y = y;
    e.type = type;
    e.path = path;
    e.counter = 0;
    if (Kind(type).diameter > 0) {
        e.diameter = Kind(type).diameter;
    }
}

void MoveEnemies() {
    for (const std::uint32_t i : Slots(world.enemies)) {
        Enemy& e = world.enemies[i];
        if (e.state) {
            MoveAlongPath(e);
        }
        if (!(e.x > 0 && e.x < 1024 && e.y > 0 && e.y < 768)) {
            e.state = false;
            e.counter = 0;
        }
    }
}

void SendKamikazeBat() {
    // The last slot is taken even when in use: the extra Bat must come.
    std::uint32_t i = 1;
    while (world.enemies[i].state && i < kEnemySlots) {
        ++i;
    }
    if (Due(100)) {
        CreateEnemy(995, static_cast<float>(world.random.Between(200, 480)), i, EnemyType::kBat,
                    EnemyTables::kFastLeftPath);
    }
    if (Due(200)) {
        if (world.random.Between(1, 2) == 2) {
            CreateEnemy(995, world.dragon.y - 20, i, EnemyType::kBat, EnemyTables::kFastLeftPath);
        } else {
            CreateEnemy(995, world.dragon.y - 400, i, EnemyType::kBat, EnemyTables::kDivePath);
        }
    }
}

} // namespace Morvek
