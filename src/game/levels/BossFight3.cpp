#include "display/Display.h"
#include "game/combat/Enemies.h"
#include "game/combat/EnemyFire.h"
#include "game/core/EnemyKinds.h"
#include "game/core/World.h"
#include "game/levels/BossCommon.h"
#include "game/levels/BossFights.h"

#include <array>
#include <optional>

namespace Morvek::Boss {

namespace {

constexpr float kHomeX = 900;
constexpr float kHomeY = 480;
constexpr std::uint32_t kKing = 13;

constexpr AreaAttack kFlame{.chance = 20,
                            .dx = -75,
                            .dy = -20,
                            .spread = 0,
                            .life = 10,
                            .above = 50,
                            .below = 150,
                            .damage = 5,
                            .wear = 1,
                            .picture = Picture::FlameBurst,
                            .left = 900,
                            .up = 150};

// By setting (Easy, Normal, Hard): the king's health below which each stage begins.
constexpr std::array<std::int32_t, 3> kStage2Below{40000, 60000, 100000};
constexpr std::array<std::int32_t, 3> kStage3Below{20000, 30000, 50000};

// What a hatchling gets in the stage it is brought in, by setting.
struct Brood {
    std::array<std::int32_t, 3> health;
    float diameter;
    std::optional<Picture> picture; // drawn centred
};
constexpr std::array<Brood, 4> kBrood{{
    {{0, 0, 0}, 0, {}},
    {{0, 0, 0}, 0, {}},
    {{500, 1000, 1500}, 50, Picture::HatchlingSmall},
    {{3000, 6000, 9000}, 100, Picture::HatchlingLarge},
}};

void Stage(KingFight& f) {
    const std::int32_t health = world.enemies[kBoss].health;
    if (health < kStage2Below[Setting()]) {
        f.stage = 2;
    }
    if (health < kStage3Below[Setting()]) {
        f.stage = 3;
    }
}

// Hatchlings come in through the king's fire; here they get the size and
// health of the stage, or none at all in the first stage.
void EquipBrood(KingFight& f) {
    for (const std::uint32_t i : Slots(kBoss + 1, kEnemySlots)) {
        Enemy& e = world.enemies[i];
        if (!f.equipped[i]) {
            if (f.stage == 1) {
                e.state = false;
            } else {
                e.health = kBrood[f.stage].health[Setting()];
                e.diameter = kBrood[f.stage].diameter;
                f.equipped[i] = true;
            }
        }
        if (!e.state) {
            f.equipped[i] = false;
        }
    }
}

// The picture follows the current stage, not the one the hatchling came in.
void DrawBrood(const KingFight& f) {
    const auto& brood = kBrood[f.stage];
    if (!brood.picture) {
        return; // none before the second stage
    }
    const Picture picture = *brood.picture;
    const float half = brood.diameter / 2;
    for (const std::uint32_t i : Slots(kBoss + 1, kEnemySlots)) {
        const Enemy& e = world.enemies[i];
        if (e.state && e.type == EnemyType::kHatchling) {
            Display::DrawMaskBitmap(PictureNumber(picture), MaskNumber(picture),
                                    static_cast<std::int32_t>(e.x - half),
                                    static_cast<std::int32_t>(e.y - half));
        }
    }
}

} // namespace

void Setup(KingFight& f) {
    CreateEnemy(kHomeX, kHomeY, kBoss, kKing, kKing);
    f = KingFight{};
    f.fullHealth = FullHealth(50000);
    world.enemies[kBoss].health = f.fullHealth;
    PlaceDragonForFight();
    for (const std::uint32_t i : Slots(world.fireballs)) {
        world.fireballs[i].state = false;
    }
}

void Counters(KingFight& f) {
    ++f.flameCounter;
}

void Phases(KingFight& f) {
    if (world.enemies[kBoss].state) {
        AreaTick(kFlame, f.flameCounter);
        Stage(f);
    }
    EnemiesShoot();
    EquipBrood(f);
}

void Overlay(const KingFight& f) {
    if (AreaActive()) {
        AreaDraw(kFlame);
    }
    DrawBrood(f);
}

} // namespace Morvek::Boss
