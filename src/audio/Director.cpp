#include "audio/Director.h"

#include "display/Display.h"
#include "game/core/EnemyKinds.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

namespace Sound {

namespace {

namespace P = Morvek;

// By the tune a level's row names.
constexpr std::array<Tune, 4> kLevelTunes{Tune::None, Tune::Level1, Tune::Level2, Tune::Level3};
constexpr std::uint32_t kMuteKey = 'M';

// What a new shot of each bullet type sounds like; boss attacks are told
// apart by level instead.
constexpr std::array<std::optional<Effect>, 13> kShotSounds{
    Effect::Volley,  Effect::EnemyShot, Effect::EnemyShot, Effect::EnemyShot, Effect::EnemyShot,
    std::nullopt,    std::nullopt,      std::nullopt,      std::nullopt,      std::nullopt,
    Effect::Tornado, Effect::IceVolley, Effect::EnemyShot,
};

// By the level's fight: the Ice Queen's breeze, the Dragon King's flames.
// The God of the Winds' storm is no single sound: the wind follows it while
// it stands.
constexpr std::array<std::optional<Effect>, std::variant_size_v<P::Fight>> kBossAttacks{
    std::nullopt, std::nullopt, Effect::Breeze, Effect::FlameBurst};
// The storm band reaches this far above and below its middle; the wind is
// loudest with the dragon inside it and falls to its least this far beyond.
constexpr float kStormReach = 65;
constexpr float kStormFade = 300;
constexpr float kStormLeast = 0.55f;

// A slot freed and filled again between two looks holds a new shot even
// with the same type: it did not get where it is by flying.
bool NewShot(const P::Bullet& was, const P::Bullet& now) {
    if (!now.state) {
        return false;
    }
    if (!was.state || was.type != now.type) {
        return true;
    }
    const bool stayed = was.x == now.x && was.y == now.y;
    const bool flew =
        std::abs(was.x + was.speedX - now.x) < 0.5f && std::abs(was.y + was.speedY - now.y) < 0.5f;
    return !stayed && !flew;
}

bool NewExplosion(const P::Blast& was, const P::Blast& now) {
    return now.state && (!was.state || now.counter < was.counter || now.type != was.type ||
                         now.x != was.x || now.y != was.y);
}

} // namespace

Director::Seen Director::Look() {
    Seen s;
    s.bullets = P::world.bullets;
    s.enemies = P::world.enemies;
    s.explosions = P::world.explosions;
    for (const std::uint32_t kind : P::Slots(s.picked)) {
        for (const std::uint32_t j : P::Slots(s.picked[kind])) {
            s.picked[kind][j] = P::world.items[kind][j].textShown;
        }
    }
    s.beamRunning = P::world.beamRunning;
    s.shieldRunning = P::world.shieldRunning;
    s.lives = P::world.dragon.lives;
    s.dragonY = P::world.dragon.y;
    s.score = P::world.score;
    for (const std::uint32_t i : P::Slots(P::world.enemies)) {
        const P::Enemy& e = P::world.enemies[i];
        s.lastBossAlive = s.lastBossAlive || (e.state && P::Kind(e.type).lastBoss);
        s.bossAlive = s.bossAlive || (e.state && P::Kind(e.type).boss);
    }
    s.mode = P::world.mode;
    s.level = P::world.level;
    s.paused = s.mode == P::Mode::Paused;
    s.playing = P::InGame(s.mode) && P::world.level >= 1 && P::world.level <= P::kLastLevel;
    return s;
}

Effects Director::Observe() {
    Seen now = Look();
    Effects fx;
    if (!primed_) {
        primed_ = true;
        music_ = ChooseMusic(now, now);
        wind_ = WindOf(now);
        seen_ = std::move(now);
        return fx;
    }
    const Seen& was = seen_;
    auto play = [&fx](Effect e) { fx.set(Index(e)); };

    for (const std::uint32_t i : P::Slots(now.bullets)) {
        const P::Bullet& b = now.bullets[i];
        if (!NewShot(was.bullets[i], b)) {
            continue;
        }
        if (b.type == P::kAreaType && i == P::kAreaSlot) {
            if (const auto attack = kBossAttacks[P::LevelOf(P::world.level).fight.index()]) {
                play(*attack);
            }
        } else if (b.type < kShotSounds.size() && kShotSounds[b.type]) {
            play(*kShotSounds[b.type]);
        }
    }
    for (const std::uint32_t i : P::Slots(now.enemies)) {
        const P::Enemy &a = was.enemies[i], &b = now.enemies[i];
        if (a.state && b.state && a.type == b.type && b.health < a.health) {
            play(Effect::Hit);
        }
    }
    if (now.score > was.score) {
        play(Effect::Hit);
    }
    for (const std::uint32_t i : P::Slots(now.explosions)) {
        const P::Blast& e = now.explosions[i];
        if (NewExplosion(was.explosions[i], e)) {
            if (e.type == 1) {
                play(Effect::Explosion);
            } else if (e.type == 2) {
                play(Effect::Spark);
            }
        }
    }
    for (const std::uint32_t kind : P::Slots(now.picked)) {
        for (const std::uint32_t j : P::Slots(now.picked[kind])) {
            if (now.picked[kind][j] && !was.picked[kind][j]) {
                play(Effect::Pickup);
            }
        }
    }
    if (now.beamRunning && !was.beamRunning) {
        play(Effect::Beam);
    }
    if (now.shieldRunning && !was.shieldRunning) {
        play(Effect::Shield);
    }
    // Back from the name entry is the same game over, not another one.
    const bool gameOver = now.mode == P::Mode::GameOver && was.mode != P::Mode::GameOver &&
                          was.mode != P::Mode::NameEntry;
    if (gameOver) {
        play(Effect::GameOver);
    } else if (now.lives < was.lives) {
        play(Effect::LifeLost);
    }
    // The king falls and the game goes on to its closing text; a game lost
    // in the fight clears him away on the game-over screen instead.
    if (was.lastBossAlive && !now.lastBossAlive && now.mode != P::Mode::GameOver && now.lives > 0) {
        play(Effect::Fanfare);
    }
    music_ = ChooseMusic(was, now);
    wind_ = WindOf(now);
    seen_ = std::move(now);
    return fx;
}

float Director::WindOf(const Seen& now) {
    const P::Bullet& storm = now.bullets[P::kAreaSlot];
    const bool stormy = std::holds_alternative<P::WindFight>(P::LevelOf(now.level).fight);
    if (!now.playing || now.paused || !stormy || !now.bossAlive || !storm.state ||
        storm.type != P::kAreaType) {
        return 0;
    }
    const float outside = std::max(0.0f, std::abs(now.dragonY - storm.y) - kStormReach);
    const float near = std::max(0.0f, 1.0f - outside / kStormFade);
    return kStormLeast + (1.0f - kStormLeast) * near;
}

Tune Director::ChooseMusic(const Seen& was, const Seen& now) {
    if (!now.playing) {
        hushed_ = 0;
        return Tune::None;
    }
    // A boss beaten leaves the story, the closing text and the fanfare in
    // quiet; the next level brings its own tune.
    if (was.playing && was.bossAlive && !now.bossAlive) {
        hushed_ = now.level;
    }
    if (hushed_ != 0 && hushed_ != now.level) {
        hushed_ = 0;
    }
    if (hushed_ != 0) {
        return Tune::None;
    }
    const std::uint8_t tune = P::LevelOf(now.level).tune;
    return now.bossAlive ? Tune::Boss : tune < kLevelTunes.size() ? kLevelTunes[tune] : Tune::None;
}

bool Director::MutePressed() {
    const bool down = Display::KeyDown(kMuteKey);
    const bool pressed = down && !mHeld_ && P::world.mode != P::Mode::NameEntry;
    mHeld_ = down;
    return pressed;
}

} // namespace Sound
