#include "game/autopilot/Policy.h"

#include "display/Display.h"
#include "game/core/EnemyKinds.h"
#include "game/core/ScenePictures.h"
#include "game/core/Terrain.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Autopilot {

namespace {

using namespace Morvek;

constexpr int kPlan = 4;     // ticks a move is held when judged
constexpr int kHorizon = 12; // ticks looked ahead
constexpr float kStep = 10;  // the dragon's move per tick
constexpr float kDragonRadius = 25;
constexpr float kMargin = 10; // room kept beyond every hit circle
constexpr std::int32_t kScroll = ScenePictures::kScrollStep;
constexpr std::int32_t kBottom = static_cast<std::int32_t>(Display::kHeight) - 1;
constexpr float kHomeX = 200; // where the dragon waits for a wave

// Death outweighs any damage, and damage any goal.
constexpr double kDeath = 1e7, kHurt = 1e5;

// The scroll offset t ticks from now, wrapped as the game wraps it.
std::int32_t ScrollIn(int t) {
    std::int32_t bx = world.backgrounds[world.level].x - kScroll * t;
    while (bx <= -ScenePictures::kScrollLoop) {
        bx += ScenePictures::kScrollLoop;
    }
    return bx;
}

struct Vec {
    float x, y;
};

float Dist(Vec a, Vec b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The dragon after one tick of holding (dx, dy), with Move's bounds.
Vec Step(Vec p, int dx, int dy) {
    if (dx < 0 && p.x - kStep > 25) {
        p.x -= kStep;
    }
    if (dx > 0 && p.x + kStep < 999) {
        p.x += kStep;
    }
    if (dy < 0 && p.y - kStep > 85) {
        p.y -= kStep;
    }
    if (dy > 0 && p.y + kStep < 743) {
        p.y += kStep;
    }
    return p;
}

Vec Velocity(const Memory::Seen& seen, float x, float y) {
    // A jump larger than any path makes is a new enemy in an old slot.
    if (!seen.valid || std::abs(x - seen.x) > 60 || std::abs(y - seen.y) > 60) {
        return {0, 0};
    }
    return {x - seen.x, y - seen.y};
}

// How bad it is for the dragon to be at p, t ticks from now.
double Danger(const DeadlyArea& walls, Vec p, int t, const Memory& memory, bool shielded) {
    double cost = 0;
    const double soon = kHorizon + 1 - t; // nearer threats weigh more
    const std::int32_t bx = ScrollIn(t);
    for (const float dy : {-14.0f, 0.0f, 14.0f}) {
        if (walls.At(bx, static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y + dy))) {
            cost += kDeath * soon;
        }
    }
    const auto tf = static_cast<float>(t);
    for (const std::uint32_t i : Slots(world.bullets)) {
        const Bullet& b = world.bullets[i];
        if (!b.state || b.type == 0) {
            continue;
        }
        if (shielded && b.type != 20) {
            continue; // the shield burns shots before they can land
        }
        if (b.type == 20) { // the storm: a band across the field
            cost += std::abs(b.y - p.y) < 75 ? kHurt * soon : 0;
            continue;
        }
        const Vec at{b.x + b.speedX * tf, b.y + b.speedY * tf};
        if (Dist(at, p) <= b.radius + kDragonRadius + kMargin) {
            cost += kHurt * soon;
        }
    }
    for (const std::uint32_t i : Slots(world.enemies)) {
        const Enemy& e = world.enemies[i];
        if (!e.state) {
            continue;
        }
        const Vec v = Velocity(memory.enemies[i], e.x, e.y);
        const Vec at{e.x + v.x * tf, e.y + v.y * tf};
        // Bosses get a wider berth.
        const float reach = e.diameter / 2 + kDragonRadius + kMargin * (Kind(e.type).boss ? 4 : 1);
        if (Dist(at, p) <= reach) {
            cost += kDeath * soon;
        }
    }
    for (const std::uint32_t i : Slots(world.fireballs)) {
        const Item& f = world.fireballs[i];
        if (LevelOf(world.level).hazard == Hazard::Fireballs && f.state) {
            const auto n = static_cast<float>(f.counter) + tf - 1;
            const Vec at{f.x - kScroll * tf, f.startY + n * f.speedY + 0.65f * n * n / 2};
            if (Dist(at, p) <= 50 + kMargin) {
                cost += kHurt * soon;
            }
        }
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        const Background& c = world.icicles[i];
        if (LevelOf(world.level).hazard == Hazard::Icicles && c.state) {
            const float top = static_cast<float>(c.y) + 10 * tf;
            const auto left = static_cast<float>(c.x);
            if (p.x >= left - kMargin && p.x <= left + 30 + kMargin && p.y >= top - kMargin &&
                p.y <= top + 150 + kMargin) {
                cost += kDeath * soon;
            }
        }
    }
    for (const std::uint32_t i : Slots(1, kClouds)) {
        const Item& cloud = world.items[kCloudRow][i];
        if (cloud.state && Dist({cloud.x, cloud.y}, p) < 100 + kMargin) {
            cost += kHurt * soon;
        }
    }
    return cost;
}

struct Goal {
    Vec at;
    bool boss = false;
    bool aligned = false; // something worth the beam lies on the dragon's line
};

// The middle of the open stretch of a column nearest to y: where the dragon
// should be when that column reaches it.
float OpenMiddle(const DeadlyArea& walls, std::int32_t bx, std::int32_t x, float y) {
    const auto open = [&](std::int32_t row) { return !walls.At(bx, x, row); };
    auto row = static_cast<std::int32_t>(y);
    if (!open(row)) {
        std::int32_t up = row, down = row;
        while (up > 0 && !open(up)) {
            --up;
        }
        while (down < kBottom && !open(down)) {
            ++down;
        }
        row = (row - up <= down - row && open(up)) || !open(down) ? up : down;
    }
    std::int32_t top = row, bottom = row;
    while (top > 0 && open(top - 1)) {
        --top;
    }
    while (bottom < kBottom && open(bottom + 1)) {
        ++bottom;
    }
    return static_cast<float>(top + bottom) / 2;
}

Goal ChooseGoal(const DeadlyArea& walls) {
    const Vec me{world.dragon.x, world.dragon.y};
    // With nothing to hunt, the dragon keeps to the open middle ahead.
    constexpr std::int32_t kAhead = 20 * kScroll; // 20 ticks away
    Goal goal{{kHomeX, OpenMiddle(walls, world.backgrounds[world.level].x,
                                  static_cast<std::int32_t>(me.x) + kAhead, me.y)}};
    double best = std::numeric_limits<double>::max();
    for (const std::uint32_t i : Slots(world.enemies)) {
        const Enemy& e = world.enemies[i];
        if (!e.state) {
            continue;
        }
        const EnemyKind& kind = Kind(e.type);
        goal.aligned = goal.aligned || (kind.beamDamage > 0 && e.x > me.x &&
                                        std::abs(e.y - me.y) <= e.diameter / 2 + 10);
        if (e.x < me.x + 40 && !kind.boss) {
            continue; // behind or beside: the gun cannot reach it
        }
        // What never holds up a wave is hunted last.
        const double cost =
            std::abs(e.y - me.y) + 0.3 * (e.x - me.x) + (kind.holdsUpWave ? 0 : 300);
        if (cost < best) {
            best = cost;
            goal.at = {kind.boss ? 80.0f : kHomeX, e.y};
            goal.boss = kind.boss;
        }
    }
    // Items within reach are worth a detour, unless a boss is about.
    for (std::uint32_t k = 1; k <= kItemKinds && !goal.boss; ++k) {
        for (const std::uint32_t j : Slots(world.items[k])) {
            const Item& item = world.items[k][j];
            if (item.state && Dist({item.x, item.y}, me) < 250) {
                goal.at = {item.x, item.y};
            }
        }
    }
    return goal;
}

void Remember(Memory& memory) {
    for (const std::uint32_t i : Slots(world.enemies)) {
        memory.enemies[i] = {world.enemies[i].state, world.enemies[i].x, world.enemies[i].y};
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        memory.icicles[i] = {world.icicles[i].state, static_cast<float>(world.icicles[i].x),
                             static_cast<float>(world.icicles[i].y)};
    }
}

int Dir(bool minus, bool plus) {
    return (plus ? 1 : 0) - (minus ? 1 : 0);
}

struct Choice {
    int dx = 0, dy = 0;
    double cost = std::numeric_limits<double>::max();
    double danger = 0;
};

Choice Best(const DeadlyArea& walls, const Memory& memory, const Goal& goal, bool shielded) {
    const Vec start{world.dragon.x, world.dragon.y};
    const int lastDx = Dir(memory.last.left, memory.last.right);
    const int lastDy = Dir(memory.last.up, memory.last.down);
    Choice best;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            // Each move is judged by its best way on: keys held for a few
            // ticks, then only climbing, sinking or staying. Backing away
            // from a threat only helps while there is room behind.
            Vec p = start;
            double danger = 0;
            for (int t = 1; t <= kPlan; ++t) {
                p = Step(p, dx, dy);
                danger += Danger(walls, p, t, memory, shielded);
            }
            double after = std::numeric_limits<double>::max();
            for (int dy2 = -1; dy2 <= 1; ++dy2) {
                Vec q = p;
                double d = 0;
                for (int t = kPlan + 1; t <= kHorizon && d < after; ++t) {
                    q = Step(q, 0, dy2);
                    d += Danger(walls, q, t, memory, shielded);
                }
                after = std::min(after, d);
            }
            danger += after;
            const double aim = std::abs(p.y - goal.at.y) + 0.3 * std::abs(p.x - goal.at.x);
            // Changing keys costs a little, so the dragon does not dither.
            const double change = (dx != lastDx ? 4 : 0) + (dy != lastDy ? 4 : 0);
            const double cost = danger + aim + change;
            if (cost < best.cost) {
                best = {dx, dy, cost, danger};
            }
        }
    }
    return best;
}

} // namespace

Controls Decide(Memory& memory) {
    const DeadlyArea& walls = DeadlyAreaOf(world.level);
    const Goal goal = ChooseGoal(walls);
    // A shield that lasts the look-ahead protects from every shot.
    constexpr std::uint32_t kShieldEnds = 175;
    const bool shielded = world.shieldRunning && world.growCounter + kHorizon < kShieldEnds;
    const Choice choice = Best(walls, memory, goal, shielded);
    // Shots that keep the dragon from its goal are worth a shield.
    const bool blocked = !shielded && Best(walls, memory, goal, true).cost + 50 < choice.cost;
    const int bestDx = choice.dx, bestDy = choice.dy;
    const double bestDanger = choice.danger;

    Controls c;
    c.left = bestDx < 0;
    c.right = bestDx > 0;
    c.up = bestDy < 0;
    c.down = bestDy > 0;
    c.fire = true;
    // The beam once lit runs its course, so it is asked for only when it can
    // strike; the key is held a while to keep the input log short.
    memory.beamHeld =
        goal.aligned || goal.boss ? 20 : (memory.beamHeld > 0 ? memory.beamHeld - 1 : 0);
    c.beam = memory.beamHeld > 0;
    // The shield for what cannot be dodged.
    memory.shieldHeld =
        bestDanger >= kHurt || blocked ? 10 : (memory.shieldHeld > 0 ? memory.shieldHeld - 1 : 0);
    c.shield = memory.shieldHeld > 0;
    memory.last = c;
    Remember(memory);
    return c;
}

} // namespace Autopilot
