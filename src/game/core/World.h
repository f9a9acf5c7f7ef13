// The whole state of the game: slot tables, the dragon, the picture table,
// the highscores and the scalars. Tables keep the game's own index ranges:
// a table [1..N] has N + 1 entries and entry 0 is never used.
#pragma once

#include "game/core/DifficultySetting.h"
#include "game/core/HostAsk.h"
#include "game/core/LevelRows.h"
#include "game/core/Looks.h"
#include "game/core/MenuFocus.h"
#include "game/core/Mode.h"
#include "game/core/Picture.h"
#include "game/core/PracticeChoice.h"
#include "game/core/Scenes.h"
#include "game/core/Slots.h"
#include "util/Random.h"

#include <array>
#include <cstdint>

namespace Morvek {

struct Enemy {
    float x = 0;
    float y = 0;
    float diameter = 0; // of its hit circle
    std::uint32_t type = 0;
    std::uint32_t path = 0;
    std::uint32_t counter = 0;
    std::int32_t health = 0;
    bool state = false;
};

struct Bullet {
    float speedX = 0;
    float speedY = 0;
    float x = 0;
    float y = 0;
    float radius = 0; // of its hit circle
    bool state = false;
    std::uint32_t type = 0;
};

struct Background {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool state = false; // an icicle: falling
};

// An item drifting across the field; the fireballs and the wind fight's
// clouds move the same way and reuse it.
struct Item {
    float speedX = 0;
    float speedY = 0;
    float x = 0;
    float y = 0;
    float startY = 0; // where a fireball's arc began
    std::uint32_t counter = 0;
    bool state = false;
    bool textShown = false;
};

// One explosion's slot; SetOffExplosion() is the procedure that sets one off.
struct Blast {
    std::uint32_t counter = 0;
    std::uint32_t type = 0;
    float x = 0;
    float y = 0;
    bool state = false;
};

struct Highscore {
    std::array<char, 7> name{}; // blank-padded, no terminator
    std::uint32_t points = 0;
};

struct Dragon {
    float x = 0;
    float y = 0;
    std::int32_t health = 0;
    std::int32_t magic = 0;
    std::int32_t lives = 0;
    bool shotReady = false;
    bool beamReady = false;
    bool shieldReady = false;
    bool state = false;
    std::uint32_t upgrade = 0;
    std::uint32_t special = 0;
};

// The whole game state as one value; a test starts afresh with
// `world = World{}`. Tables keep the game's own 1-based slot numbers, the
// numbers the state dump shows, so entry 0 of a [1..N] table is never used.
struct World {
    // Slot tables.
    SlotTable<Enemy, kEnemySlots> enemies{};
    SlotTable<Bullet, kBulletSlots> bullets{};
    SlotTable<Background, kLastLevel> backgrounds{}; // by level
    SlotTable<Background, kIcicleSlots> icicles{};
    SlotTable<Item, kFireballSlots> fireballs{};
    SlotTable<SlotTable<Item, kItemSlots>, kCloudRow> items{};
    SlotTable<Blast, kExplosionSlots> explosions{};
    // Places 1..10, and kResultPlace for the result being entered; 0 is never used.
    std::array<Highscore, kResultPlace + 1> scores{};
    std::array<std::uint32_t, kDifficultyHistory + 1> difficultyHistory{}; // [0..50], newest first
    PictureTable pictures{};                                               // by name

    // Scalars.
    std::uint32_t counter = 0;
    std::uint32_t growCounter = 0;
    std::uint32_t level = 0;
    std::uint32_t score = 0;
    std::uint32_t actualDifficulty = 0;
    std::int32_t mouseX = 0;
    std::int32_t mouseY = 0;
    bool shieldRunning = false;
    bool beamRunning = false;
    bool beamShown = false; // the beam ran this tick, its last one included
    Dragon dragon{};
    Difficulty difficulty = Difficulty::Easy;
    std::uint32_t tickMs = 0; // milliseconds of one tick of play: the speed chosen
    // What the game is doing, and the label of its top scene as the last
    // step left it (the sound, the autopilot and the trace read it).
    SceneStack scenes{};
    Mode mode = Mode::Menu;
    MenuFocus focus{};
    Random::Generator random{}; // every draw of the game's

    // The pause key and the window's focus as the last pause check saw them:
    // a pause starts on a change only.
    bool pauseKeyWasDown = false;
    bool hadFocus = true;
    bool pauseKept = false; // pressed while a wave glided in
    // Where a new game starts: the run's practice start, taken from its
    // options when it starts.
    PracticeChoice practice{};
    // A practice start at a boss fight: the level script skips its waves once.
    bool bossStart = false;
    // New Games chosen since the program started: a verifier numbers the
    // session's games by it.
    std::uint32_t gamesBegun = 0;

    // Drawing only: what the last frames showed (core/Looks.h).
    Looks looks{};
    // Left for the host by the last step; the host clears it once served.
    HostAsk asked = HostAsk::None;
};

extern World world;

// What the display draws a picture, and its mask, by.
inline std::uint32_t PictureNumber(Picture p) {
    return world.pictures[p].picture;
}
inline std::uint32_t MaskNumber(Picture p) {
    return world.pictures[p].mask;
}

} // namespace Morvek
