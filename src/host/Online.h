// The program's side of the leaderboard and of the host's own screens: it
// watches the game's steps for games that end, sends those that count, and
// serves what the screens ask of the host (the kept replays, the online
// name). None of it reaches the game's course: the board it feeds is drawn
// only, and the host's screens take input that no run records.
#pragma once

#include "game/core/Next.h"
#include "game/core/World.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace Program::Online {

struct Setup {
    std::string address;             // the checked leaderboard, "" for none
    std::filesystem::path data;      // the folder of the highscore table, "" for none
    std::filesystem::path recording; // the session's, sent a game at a time; "" for none
    std::filesystem::path replays;   // the kept replays the Replays screen lists
    std::string playerName;          // the checked online name, "" while none is chosen
};

void Start(const Setup& setup);
// The leaderboard chosen anew while the program runs (the page's own
// control): "" stops sending, and what waits in the outbox waits for the
// next address. `none` is the board's line while there is none ("" for the
// game's own). False with the reason for an address CheckAddress refuses.
bool UseAddress(std::string_view address, const std::string& none, std::string& why);
// A name the player typed outside the game's window (the page's form), kept
// as the name band keeps it. False with the reason for one the leaderboard
// would not take.
bool ChooseName(std::string_view typed, std::string& why);
// The online name chosen, "" while none is.
const std::string& PlayerName();
// After each step of the program's game, before its frame is shown.
void AfterStep(Morvek::World& w, const Morvek::Wait& wait);
// Between steps too, where the host turns without one (the page's frames
// while the game waits for a key): the server's answers taken in, what is
// due started.
void Pump();
// At the program's end: a run still being sent gets up to `ms` to arrive;
// what doesn't waits in the outbox for the next start.
void Finish(std::uint32_t ms);
} // namespace Program::Online
