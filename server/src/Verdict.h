// The verifier's answer turned into the run's one result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Server {

// How the verifier's process ended.
struct VerifierExit {
    enum class How {
        Exited,
        Signalled,
        TimedOut,
        TooMuchOutput,
        NotStarted,
        Stopped, // the server is stopping: the job is left for later
    } how = How::Exited;
    int code = 0; // exit status, or the signal
    std::string out;
    std::string err; // its first line, the reason
};

struct Outcome {
    bool accepted = false;
    bool retry = false; // the server's own trouble (no verifier): try the job again later
    std::string code;   // why refused: cheat, practice, desync, ...
    std::string reason;
    // The game ranked, as the verifier reported it
    std::int64_t game = 0;
    std::int64_t rules = 0;
    std::string difficulty, speed;
    std::int64_t score = 0;
    bool won = false;
    std::int64_t ticks = 0;
    std::string input, state; // SHA-256 hex
};

// `game` 0 picks the last game that ended; `claimed` is the score the player sent.
Outcome Judge(const VerifierExit& exit, std::int64_t game, std::int64_t claimed);

} // namespace Server
