// `morvek --verify FILE`: a recording replayed headless as fast as it can
// go, to say what each game of its session came to, for a leaderboard that
// ranks only what it replayed itself. Nothing but FILE is read, nothing is
// written, no window or sound is opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Program::Verify {

// The limits, by what a replay costs; checked before the replay (bytes,
// events) and while it runs (ticks of play). An hour's real play records a
// few MB, mostly mouse moves in the menus, and about 120 000 ticks at the
// fastest speed.
constexpr std::uintmax_t kMaxBytes = 4 * 1024 * 1024;
constexpr std::size_t kMaxEvents = 400'000;
constexpr std::uint64_t kMaxTicks = 360'000;

struct Limits {
    std::uintmax_t bytes = kMaxBytes;
    std::size_t events = kMaxEvents;
    std::uint64_t ticks = kMaxTicks;
};

enum Exit : int {
    kVerified = 0,
    kBadCommandLine = 2,
    kMalformed = 3,
    kOverLimit = 4,
    kNoGameEnded = 5,
    kOtherRules = 6,
    kNoPictures = 7,
};

// One game of the session, from its New Game.
struct GameResult {
    std::string difficulty; // as the options screen names it
    std::string speed;
    bool practice = false;
    bool ended = false; // game over, or the last boss beaten
    std::uint32_t score = 0;
    bool won = false;
    std::uint64_t ticks = 0;
    bool cheat = false; // a cheat key down at any tick of it
    std::string state;  // SHA-256 of the state dump at its end
    std::string input;  // SHA-256 of its events, timed from its New Game
};

// The one line printed: {"version":..,"rules":..,"games":[..]}.
std::string Json(std::string_view version, const std::vector<GameResult>& games);

// Replays `file`. The JSON line in `out` and kVerified when a game ended;
// otherwise the exit status and a one-line reason.
int Run(const std::string& file, std::string_view version, std::string& out, std::string& reason,
        const Limits& limits = {});

} // namespace Program::Verify
