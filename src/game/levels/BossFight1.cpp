#include "display/Display.h"
#include "game/combat/Collision.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"

#include <cmath>

namespace Morvek::Boss {

namespace {

constexpr float kHomeX = 670;
constexpr float kHomeY = 346;
constexpr std::uint32_t kWindgod = 10;

constexpr AreaAttack kStorm{.chance = 25,
                            .dx = -75,
                            .dy = -75,
                            .spread = 150,
                            .life = 30,
                            .above = 65,
                            .below = 65,
                            .damage = 2,
                            .wear = 2,
                            .picture = Picture::Storm,
                            .left = 650,
                            .up = 150};

constexpr float kCloudX = 533;
constexpr float kCloudY1 = 250;
constexpr float kCloudY2 = 450;
constexpr float kDrift = 1.4f;
constexpr std::uint32_t kDriftEnd = 91; // cloud age at which a drift stops: 90 ticks of it
constexpr std::uint32_t kIdleAge = 95;  // idle clouds are held below the item code's limit
constexpr std::uint32_t kBeamContacts = 60;

Item& Cloud(std::uint32_t k) {
    return world.items[kCloudRow][k];
}

void PlaceCloud(std::uint32_t k, float y) {
    Item& c = Cloud(k);
    c.state = true;
    c.x = kCloudX;
    c.y = y;
    c.speedX = 0;
    c.speedY = 0;
    c.counter = 1;
}

void SetDrift(float x1, float y1, float x2, float y2) {
    Cloud(1).speedX = x1;
    Cloud(1).speedY = y1;
    Cloud(2).speedX = x2;
    Cloud(2).speedY = y2;
}

// After a phase change the clouds part (storm) or close again (shooting).
void CloudDrift(WindFight& f) {
    Item& c1 = Cloud(1);
    Item& c2 = Cloud(2);
    if (c1.counter > kIdleAge && c2.counter > kIdleAge) {
        --c1.counter;
        --c2.counter;
    }
    if (!f.cloudsDrifting) {
        return;
    }
    if (c1.counter > kDriftEnd) {
        c1.counter = 1;
        c2.counter = 1;
    }
    if (c1.counter < kDriftEnd) {
        if (f.storming) {
            SetDrift(kDrift, -kDrift, kDrift, kDrift);
        } else {
            SetDrift(-kDrift, kDrift, -kDrift, -kDrift);
        }
    }
    if (c1.counter == kDriftEnd) {
        SetDrift(0, 0, 0, 0);
        c1.counter = 1;
        c2.counter = 1;
        f.cloudsDrifting = false;
    }
}

// The beam length is unsigned: a cut longer than the beam leaves it at nothing.
void Shorten(std::uint32_t by) {
    world.growCounter = world.growCounter > by ? world.growCounter - by : 0;
}

float BeamTip() {
    return world.dragon.x + 20 * static_cast<float>(world.growCounter);
}

void BeamAgainst(WindFight& f, const Item& c) {
    const bool level = std::fabs(world.dragon.y - c.y) <= 120;
    if (level && BeamTip() > c.x - 50) {
        Shorten(2);
        SetOffExplosion((BeamTip() + c.x) / 2, world.dragon.y, 2);
        ++f.beamContacts;
    }
    if (level && BeamTip() > c.x) {
        Shorten(4);
        SetOffExplosion((BeamTip() + c.x) / 2, world.dragon.y, 2);
    }
    if (f.beamContacts > kBeamContacts) {
        world.beamRunning = false;
        world.growCounter = 0;
        world.dragon.beamReady = true;
        f.beamContacts = 0;
    }
}

// A cloud burns the dragon, swallows its shots and wears its beam down.
void CloudRules(WindFight& f, const Item& c) {
    if (world.dragon.state && Distance(c.x, world.dragon.x, c.y, world.dragon.y) < 100 &&
        c.x - 100 < world.dragon.x) {
        world.dragon.health -= 10;
        SetOffExplosion(world.dragon.x, world.dragon.y, 1);
    }
    for (const std::uint32_t j : Slots(world.bullets)) {
        Bullet& b = world.bullets[j];
        if (b.state && b.type == 0 && Distance(c.x, b.x, c.y, b.y) < 120 &&
            c.x - 50 - b.radius < b.x) {
            b.state = false;
            SetOffExplosion(b.x, b.y, 2);
        }
    }
    if (world.beamRunning) {
        BeamAgainst(f, c);
    }
}

void NextPhase(WindFight& f) {
    f.storming = !f.storming;
    f.cloudsDrifting = true;
}

void Shooting(WindFight& f) {
    world.enemies[kBoss].path = kWindgod;
    EnemiesShoot();
    if (PhaseOver(f.bossCounter)) {
        NextPhase(f);
    }
}

void Storm(WindFight& f) {
    Enemy& boss = world.enemies[kBoss];
    boss.path = 0;
    boss.x = kHomeX;
    boss.y = kHomeY;
    AreaTick(kStorm, f.stormCounter);
    if (PhaseOver(f.bossCounter)) {
        NextPhase(f);
        AreaEnd();
    }
}

} // namespace

void Setup(WindFight& f) {
    CreateEnemy(kHomeX, kHomeY, kBoss, kWindgod, kWindgod);
    f = WindFight{};
    f.fullHealth = FullHealth(5000);
    world.enemies[kBoss].health = f.fullHealth;
    PlaceCloud(1, kCloudY1);
    PlaceCloud(2, kCloudY2);
    world.enemies[kBoss].counter = 0;
    PlaceDragonForFight();
}

void Counters(WindFight& f) {
    ++f.bossCounter;
    ++f.stormCounter;
}

void Phases(WindFight& f) {
    if (f.storming) {
        Storm(f);
    } else {
        Shooting(f);
    }
    CloudDrift(f);
    CloudRules(f, Cloud(1));
    CloudRules(f, Cloud(2));
}

void Overlay(const WindFight& f) {
    if (f.storming && AreaActive() && f.stormCounter <= kStorm.life) {
        AreaDraw(kStorm);
    }
}

} // namespace Morvek::Boss
