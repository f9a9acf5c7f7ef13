#include "game/combat/HitLooks.h"

#include "display/Display.h"
#include "game/core/Colours.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"

#include <algorithm>
#include <array>

namespace Morvek {

namespace {

constexpr std::uint32_t kFlashFrames = 8;
constexpr std::uint32_t kShakeFrames = 6;
constexpr std::uint32_t kLossShakeFrames = 10;
constexpr std::uint32_t kLossFlareFrames = 14;
constexpr std::int32_t kLossShake = 8; // pixels

// A jolt back and forth rather than a drift: each frame crosses the middle.
constexpr std::array<Offset, 6> kJolts = {{{1, -1}, {-1, 1}, {1, 1}, {-1, -1}, {1, 0}, {-1, 0}}};

// Frames since `at`, the frame something was seen; none when never.
std::uint32_t Age(const Looks& looks, std::uint32_t at) {
    return at == 0 ? ~0u : looks.frame - at;
}

// A graze barely moves the field; a bite moves it more.
std::int32_t HitShake(std::int32_t lost) {
    return std::clamp(lost / 8, 2, 5);
}

Offset Jolt(std::uint32_t age, std::uint32_t frames, std::int32_t pixels) {
    // Dies down over its frames, but never below a pixel while it lasts.
    const std::int32_t size = std::max(
        pixels * static_cast<std::int32_t>(frames - age) / static_cast<std::int32_t>(frames), 1);
    const Offset& j = kJolts[age % kJolts.size()];
    return {j.dx * size, j.dy * size};
}

} // namespace

void NoteFrame(World& w) {
    Looks& looks = w.looks;
    const Dragon& d = w.dragon;
    if (looks.game != w.gamesBegun) {
        looks = Looks{.game = w.gamesBegun, .guideFrom = w.counter};
        looks.health = d.health;
        looks.lives = d.lives;
    }
    ++looks.frame;
    // A life goes with the frame that shows the health gone; the lives count
    // it a step later, which is the same loss.
    const bool wasAlive = looks.health > 0;
    if (wasAlive && (d.health <= 0 || d.lives < looks.lives)) {
        looks.lostAt = looks.frame;
    } else if (d.health < looks.health && d.lives == looks.lives) {
        looks.hitAt = looks.frame;
        looks.hitBy = looks.health - d.health;
    }
    looks.health = d.health;
    looks.lives = d.lives;
}

Offset Shake(const Looks& looks) {
    if (const std::uint32_t age = Age(looks, looks.lostAt); age < kLossShakeFrames) {
        return Jolt(age, kLossShakeFrames, kLossShake);
    }
    if (const std::uint32_t age = Age(looks, looks.hitAt); age < kShakeFrames) {
        return Jolt(age, kShakeFrames, HitShake(looks.hitBy));
    }
    return {};
}

void DrawDragonFlash(const World& w) {
    const std::uint32_t age = Age(w.looks, w.looks.hitAt);
    // On two frames, off two: a blink the eye catches even in a crowd.
    if (!w.dragon.state || age >= kFlashFrames || (age / 2) % 2 != 0) {
        return;
    }
    const ScenePictures::Sprite& s = ScenePictures::DragonSprite(w.counter);
    const std::int32_t x = ToPixel(w.dragon.x - s.dx), y = ToPixel(w.dragon.y - s.dy);
    const std::uint32_t mask = MaskNumber(*s.picture);
    constexpr std::int32_t kReach = 64; // beyond any dragon picture
    Display::DrawFaded(x, y, x + kReach, y + kReach, 230 - 20 * age, [&] {
        Display::DrawMaskColour(mask, x, y, Colours::Packed(255, 240, 220));
    });
}

void DrawLossFlare(const Looks& looks) {
    const std::uint32_t age = Age(looks, looks.lostAt);
    if (age >= kLossFlareFrames) {
        return;
    }
    constexpr auto kRight = static_cast<std::int32_t>(Display::kWidth) - 1;
    constexpr auto kBottom = static_cast<std::int32_t>(Display::kHeight) - 1;
    // A white flash, then red draining away.
    if (age < 2) {
        Display::Tint(0, 0, kRight, kBottom, Colours::kWhite, 170);
        return;
    }
    const std::uint32_t left = kLossFlareFrames - age;
    Display::Tint(0, 0, kRight, kBottom, Colours::Packed(220, 0, 0),
                  150 * left / (kLossFlareFrames - 2));
}

} // namespace Morvek
