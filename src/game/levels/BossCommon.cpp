#include "game/levels/BossCommon.h"

#include "display/Display.h"
#include "game/combat/Collision.h"
#include "game/combat/Lives.h"
#include "game/combat/TickOrder.h"
#include "game/core/Colours.h"
#include "game/core/World.h"
#include "game/levels/BossFights.h"
#include "util/Random.h"

#include <algorithm>

namespace Morvek::Boss {

namespace {
constexpr std::uint32_t kPhaseEnd = 182; // a phase lasts 181 ticks
constexpr float kFightStartY = 350;      // a little higher than a level's start
constexpr std::uint32_t kStartChance = 4;
constexpr std::uint32_t kBarGreen = Colours::kDarkGreen;
constexpr std::uint32_t kBarRed = Colours::kRed;
constexpr std::uint32_t kFrameGreen = Colours::kGreen;
} // namespace

void PlaceDragonForFight() {
    world.dragon.x = kDragonStartX;
    world.dragon.y = kFightStartY;
}

std::uint32_t Setting() {
    return static_cast<std::uint32_t>(world.difficulty);
}

std::int32_t FullHealth(std::int32_t easy) {
    return easy * static_cast<std::int32_t>(Setting() + 1);
}

bool PhaseOver(std::uint32_t& bossCounter) {
    if (bossCounter < kPhaseEnd) {
        return false;
    }
    world.enemies[kBoss].counter = 0;
    bossCounter = 1;
    return true;
}

void HealthBar(std::int32_t full) {
    const std::int32_t health = world.enemies[kBoss].health;
    // A boss that died on a hit can be a little below zero; the bar stays
    // empty rather than growing leftwards into its label.
    const std::int32_t length = std::max(health / (full / 100), 0);
    // On a dark panel of its own, as the display's band: it reads over lava.
    Display::Tint(772, 714, 1012, 746, Colours::kBlack, 140);
    Display::Text("BOSS HEALTH: ", 780, 725);
    Display::Rectangle(895, 720, 1005, 740, kFrameGreen, false);
    Display::Rectangle(900, 725, 900 + length, 735, health > full / 4 ? kBarGreen : kBarRed, true);
}

bool AreaActive() {
    return world.bullets[kAreaSlot].state && world.bullets[kAreaSlot].type == kAreaType;
}

void AreaEnd() {
    if (AreaActive()) {
        world.bullets[kAreaSlot].state = false;
    }
}

void AreaTick(const AreaAttack& a, std::uint32_t& age) {
    // The draw is made every tick, a free slot or not.
    if (world.random.Between(1, a.chance) == kStartChance && !world.bullets[kAreaSlot].state) {
        Bullet& b = world.bullets[kAreaSlot];
        b.state = true;
        b.type = kAreaType;
        b.x = world.enemies[kBoss].x + a.dx;
        b.y = world.enemies[kBoss].y + a.dy;
        if (a.spread != 0) {
            b.y += static_cast<float>(world.random.Between(1, a.spread));
        }
        b.speedX = 0;
        b.speedY = 0;
        age = 1;
    }
    if (age > a.life) {
        AreaEnd();
    }
    if (AreaActive() && world.bullets[kAreaSlot].y - a.above < world.dragon.y &&
        world.dragon.y < world.bullets[kAreaSlot].y + a.below) {
        world.dragon.health -= a.damage;
        SetOffExplosion(world.dragon.x, world.dragon.y, 1);
        age += a.wear;
    }
}

void AreaDraw(const AreaAttack& a) {
    Display::DrawMaskBitmap(PictureNumber(a.picture), MaskNumber(a.picture),
                            static_cast<std::int32_t>(world.bullets[kAreaSlot].x - a.left),
                            static_cast<std::int32_t>(world.bullets[kAreaSlot].y - a.up));
}

namespace {

template <typename Fight> class FightSteps final : public TickSteps {
  public:
    explicit FightSteps(Fight& f) : TickSteps(kFightShape), f_(f) {}
    void Count() override { Counters(f_); }
    void Rules() override { Phases(f_); }

  private:
    Fight& f_;
};

} // namespace

template <typename Fight> void Play(Fight& f) {
    FightSteps<Fight> steps(f);
    TickPlay(steps);
}

template void Play(WindFight& f);
template void Play(IceFight& f);
template void Play(KingFight& f);

} // namespace Morvek::Boss
