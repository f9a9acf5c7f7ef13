#include "display/Display.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"

namespace Morvek::Boss {

namespace {

constexpr float kHomeX = 900;
constexpr float kHomeY = 350;
constexpr std::uint32_t kIcequeen = 11;

constexpr AreaAttack kBreeze{.chance = 20,
                             .dx = -75,
                             .dy = -75,
                             .spread = 200,
                             .life = 30,
                             .above = 100,
                             .below = 100,
                             .damage = 3,
                             .wear = 2,
                             .picture = Picture::Breeze,
                             .left = 950,
                             .up = 200};

// The renderer leaves her out: she has a picture per phase.
void DrawQueen(bool blowing) {
    const Picture picture = blowing ? Picture::IceQueenBlowing : Picture::IceQueen;
    Display::DrawMaskBitmap(PictureNumber(picture), MaskNumber(picture),
                            static_cast<std::int32_t>(world.enemies[kBoss].x - 125),
                            static_cast<std::int32_t>(world.enemies[kBoss].y - 125));
}

void Blowing(IceFight& f) {
    Enemy& boss = world.enemies[kBoss];
    boss.path = 0;
    boss.x = kHomeX;
    boss.y = kHomeY;
    AreaTick(kBreeze, f.breezeCounter);
    if (PhaseOver(f.bossCounter)) {
        f.blowing = false;
        AreaEnd();
    }
}

void Shooting(IceFight& f) {
    world.enemies[kBoss].path = kIcequeen;
    EnemiesShoot();
    if (PhaseOver(f.bossCounter)) {
        f.blowing = true;
    }
}

} // namespace

void Setup(IceFight& f) {
    CreateEnemy(kHomeX, kHomeY, kBoss, kIcequeen, kIcequeen);
    f = IceFight{};
    f.fullHealth = FullHealth(5000);
    world.enemies[kBoss].health = f.fullHealth;
    world.enemies[kBoss].counter = 0;
    PlaceDragonForFight();
}

void Counters(IceFight& f) {
    ++f.bossCounter;
    ++f.breezeCounter;
}

void Phases(IceFight& f) {
    if (f.blowing) {
        Blowing(f);
    } else {
        Shooting(f);
    }
}

void Overlay(const IceFight& f) {
    if (f.blowing && AreaActive() && f.breezeCounter <= kBreeze.life) {
        AreaDraw(kBreeze);
    }
    DrawQueen(f.blowing);
}

} // namespace Morvek::Boss
