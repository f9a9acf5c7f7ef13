// What a submission must be before it is stored: checked at once, so a body
// that can never be a recording costs the server nothing.
#pragma once

#include "host/Verify.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Server {

// The recording limit the verifier keeps; a bigger body is refused unread.
constexpr std::size_t kMaxRecordingBytes = Program::Verify::kMaxBytes;
// What the HTTP library takes at most: a recording in a form, and the form
constexpr std::size_t kMaxRequestBytes = kMaxRecordingBytes + 64 * 1024;

struct Refusal {
    int status; // the HTTP status
    std::string code;
    std::string reason;
};

struct Claim {
    std::string name;      // upper case, as the name entry types it
    std::int64_t game = 0; // 0: the last game that ended
    std::int64_t score = 0;
};

// The name entry's letters: one to seven of A-Z (typed in lower case, taken
// as upper case, since the game has only the one).
std::optional<std::string> PlayerName(std::string_view asked);

// The query's name, game and score, or why not.
std::optional<Refusal> ReadClaim(std::optional<std::string_view> name,
                                 std::optional<std::string_view> game,
                                 std::optional<std::string_view> score, Claim& claim);

// Whether `body` looks like a recording: lines of text, each starting with
// its time, with its rules line at time 0. The verifier judges the rest.
std::optional<Refusal> CheckRecording(std::string_view body);

} // namespace Server
