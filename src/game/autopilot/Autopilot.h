// A player made of code: it starts a game from the menu, plays it through to
// the name entry and back, and ends the run. It sees the world state at every
// sync point and acts only through input events, so a recording of its game
// replays without it.
#pragma once

#include <cstdint>
#include <string>

namespace Autopilot {

struct Settings {
    // Games to play before choosing End; 0 plays until the tick limit.
    std::uint32_t games = 1;
    // Ends the run after this many ticks of play (0: no limit), printing the
    // memory in use at the start, the middle and the end.
    std::uint64_t tickLimit = 0;
    // Holds the cheat keys in play; without them its games can be ranked.
    bool cheats = true;
    // Pictures of the milestones go into this directory ("" for none).
    std::string shots;
};

// A fresh pilot; the host plugs AtSync into the run's sync points
// (Program::StartAutopilot).
void Start(const Settings& settings);
// Looks at the world and hands its input to the run (Display::Run::Apply).
void AtSync();
// Says how the games went, at the run's end.
void Report();

// What the autopilot has seen so far.
struct Summary {
    std::uint32_t games = 0;
    std::uint32_t levelReached = 0;
    std::uint32_t score = 0; // of the last game
    std::uint64_t ticks = 0; // frames of play over all games
    bool won = false;        // the last game reached the closing screen
};
Summary Result();

} // namespace Autopilot
