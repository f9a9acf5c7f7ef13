// The levels, one row each: everything that makes a level what it is. A new
// level is a row here, its waves, its story and its pictures; the game plays
// the rows in order and the last one ends in the name entry.
#pragma once

#include "game/core/Fights.h"
#include "game/core/LevelStories.h"
#include "game/core/Picture.h"
#include "game/core/WaveTables.h"

#include <array>
#include <cstdint>
#include <span>

namespace Morvek {

// What a level sends at the dragon beside its waves (levels/Hazards.h).
enum class Hazard : std::uint8_t { None, Castles, Icicles, Fireballs };

// A level's background scrolls as a picture followed by its mirror image.
using Backdrop = std::array<Picture, 2>;
struct Scenery {
    Backdrop shown;
    Backdrop deadly; // where it is black the dragon dies
};

struct LevelRow {
    std::span<const Waves::Spawn> waves;
    bool extraWave; // a lively game meets one more wave after the last
    Hazard hazard;
    Fight fight; // the boss at its end
    Scenery scenery;
    std::uint8_t tune; // which of the levels' tunes plays in its waves (1..)
    std::span<const Stories::StoryLine> interlude; // told once its boss is beaten
};

inline constexpr std::array<LevelRow, 4> kLevels{{
    {},
    {Waves::kLevel1,
     false,
     Hazard::Castles,
     WindFight{},
     {{Picture::Back1, Picture::Back1Mirror}, {Picture::Border1, Picture::Border1Mirror}},
     1,
     Stories::kAfterLevel1},
    {Waves::kLevel2,
     false,
     Hazard::Icicles,
     IceFight{},
     {{Picture::Back2, Picture::Back2Mirror}, {Picture::Border2, Picture::Border2Mirror}},
     2,
     Stories::kAfterLevel2},
    {Waves::kLevel3,
     true,
     Hazard::Fireballs,
     KingFight{},
     {{Picture::Back3, Picture::Back3Mirror}, {Picture::Border3, Picture::Border3Mirror}},
     3,
     Stories::kClosing},
}};

inline constexpr std::uint32_t kLastLevel = kLevels.size() - 1;

constexpr bool IsLevel(std::uint32_t level) {
    return level >= 1 && level <= kLastLevel;
}

// Level 1..kLastLevel's row; the empty row 0 for anything else.
constexpr const LevelRow& LevelOf(std::uint32_t level) {
    return kLevels[IsLevel(level) ? level : 0];
}

} // namespace Morvek
