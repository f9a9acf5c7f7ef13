// The whole state of the game: slot tables, the dragon, the picture table,
// the highscores and the scalars. Tables keep the game's own index ranges:
// a table [1..N] has N + 1 entries and entry 0 is never used.
#pragma once

#include "game/core/DifficultySetting.h"

#include <array>
#include <cstdint>

namespace Procedures {

using real = float;
using card = std::uint32_t;
using integer = std::int32_t;

struct Enemy {
    real x = 0;
    real y = 0;
    real length = 0; // hit circle diameter
    card type = 0;
    card path = 0;
    card counter = 0;
    integer health = 0;
    bool state = false;
};

struct Bullet {
    real speedX = 0;
    real speedY = 0;
    real x = 0;
    real y = 0;
    real length = 0; // hit radius
    bool state = false;
    card type = 0;
};

struct Background {
    integer x = 0;
    integer y = 0;
    bool update = false;
};

// An item drifting across the field; the fireballs and the wind fight's
// clouds move the same way and reuse it.
struct Item {
    real speedX = 0;
    real speedY = 0;
    real x = 0;
    real y = 0;
    real startY = 0; // where a fireball's arc began
    card counter = 0;
    bool state = false;
    bool textShown = false;
};

// One explosion's slot; Explosion() is the procedure that sets one off.
struct Blast {
    card counter = 0;
    card type = 0;
    real x = 0;
    real y = 0;
    bool state = false;
};

struct Highscore {
    std::array<char, 7> name{}; // blank-padded, no terminator
    card points = 0;
};

struct Dragon {
    real x = 0;
    real y = 0;
    integer health = 0;
    integer magic = 0;
    integer lives = 0;
    bool shotReady = false;
    bool beamReady = false;
    bool shieldReady = false;
    bool state = false;
    card upgrade = 0;
    card special = 0;
};

// What the game is running, set by each screen and loop as it starts. The
// sound, the autopilot and the pause go by it; the window title is only shown.
enum class Mode : std::uint8_t {
    Menu,
    Story,
    Options,
    Highscores,
    Credits,
    Interlude, // the story between two levels
    Wave,
    BossFight,
    Paused,
    GameOver,
    NameEntry,
};

// A game is under way: its waves, fights and interludes, and the pause.
constexpr bool InGame(Mode m) {
    return m == Mode::Wave || m == Mode::BossFight || m == Mode::Interlude || m == Mode::Paused;
}

// The whole game state as one value; a test starts afresh with
// `world = World{}`. Tables keep the game's own 1-based slot numbers, the
// numbers the state dump shows, so entry 0 of a [1..N] table is never used.
struct World {
    // Slot tables.
    std::array<Enemy, 101> enemies{};                            // [1..100]
    std::array<Bullet, 101> bullets{};                           // [1..100]
    std::array<Background, 4> backgrounds{};                     // [1..3], by level
    std::array<Background, 21> icicles{};                        // [1..20]
    std::array<Item, 11> fireballs{};                            // [1..10]
    std::array<std::array<Item, 11>, 7> items{};                 // [1..6][1..10]
    std::array<Blast, 26> explosions{};                          // [1..25]
    std::array<std::array<std::array<card, 3>, 15>, 8> images{}; // [1..7][1..14][1..2]
    std::array<Highscore, 12> scores{};                          // [0..11]
    std::array<card, 51> difficultyHistory{};                    // [0..50]

    // Scalars.
    card counter = 0;
    card growCounter = 0;
    card level = 0;
    card score = 0;
    card actualDifficulty = 0;
    integer mouseX = 0;
    integer mouseY = 0;
    bool returnToMenu = false;
    bool quitGame = false;
    bool shieldRunning = false;
    bool beamRunning = false;
    bool beamShown = false; // the beam ran this tick, its last one included
    Dragon dragon{};
    Difficulty difficulty = Difficulty::Easy;
    card speed = 0;
    Mode mode = Mode::Menu;
};

extern World world;

} // namespace Procedures
