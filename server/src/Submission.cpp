#include "Submission.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace Server {

namespace {

constexpr std::size_t kMaxName = 7;
// Scores and game numbers fit well within this; more is not a game of ours.
constexpr std::int64_t kMaxNumber = 1'000'000'000'000;

std::optional<std::int64_t> Number(std::string_view text) {
    std::int64_t n = 0;
    if (text.empty() || text.size() > 13) {
        return std::nullopt;
    }
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (err != std::errc() || end != text.data() + text.size() || n < 0 || n > kMaxNumber) {
        return std::nullopt;
    }
    return n;
}

// "0 option rules N", however the words are spaced.
bool IsRulesLine(std::string_view line) {
    std::array<std::string_view, 3> words;
    std::size_t n = 0;
    for (std::size_t i = 0; i < line.size() && n < words.size();) {
        i = line.find_first_not_of(" \t\r", i);
        if (i == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find_first_of(" \t\r", i), line.size());
        words[n++] = line.substr(i, end - i);
        i = end;
    }
    return n == 3 && words[0].find_first_not_of('0') == std::string_view::npos &&
           words[1] == "option" && words[2] == "rules";
}

Refusal Bad(std::string code, std::string reason) {
    return {400, std::move(code), std::move(reason)};
}

} // namespace

std::optional<std::string> PlayerName(std::string_view asked) {
    if (asked.empty() || asked.size() > kMaxName) {
        return std::nullopt;
    }
    std::string name;
    for (const char c : asked) {
        if (c >= 'a' && c <= 'z') {
            name += static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            name += c;
        } else {
            return std::nullopt;
        }
    }
    return name;
}

std::optional<Refusal> ReadClaim(std::optional<std::string_view> name,
                                 std::optional<std::string_view> game,
                                 std::optional<std::string_view> score, Claim& claim) {
    const auto player = name ? PlayerName(*name) : std::nullopt;
    if (!player) {
        return Bad("name", "the name must be 1 to 7 letters A-Z, as the game's name entry takes");
    }
    claim.name = *player;
    const auto points = score ? Number(*score) : std::nullopt;
    if (!points) {
        return Bad("score", "score must be the whole number the game showed");
    }
    claim.score = *points;
    claim.game = 0;
    if (game) {
        const auto n = Number(*game);
        if (!n || *n < 1) {
            return Bad("game", "game must be the number of a game of the session, from 1");
        }
        claim.game = *n;
    }
    return std::nullopt;
}

std::optional<Refusal> CheckRecording(std::string_view body) {
    if (body.empty()) {
        return Bad("empty", "the recording is empty");
    }
    if (body.size() > kMaxRecordingBytes) {
        return Refusal{413, "too-large", "a recording holds at most 4 MiB"};
    }
    bool rules = false;
    std::size_t lineNo = 0;
    for (std::size_t at = 0; at < body.size();) {
        const std::size_t end = std::min(body.find('\n', at), body.size());
        std::string_view line = body.substr(at, end - at);
        at = end + 1;
        ++lineNo;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        for (const char c : line) {
            const auto u = static_cast<unsigned char>(c);
            if ((u < 0x20 && c != '\t' && c != '\r') || u == 0x7F) {
                return Bad("binary",
                           "the recording is not text (line " + std::to_string(lineNo) + ")");
            }
        }
        // As the game reads a script: a comment from '#', words apart by
        // spaces, tabs and returns, the first of them the time
        line = line.substr(0, line.find('#'));
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos) {
            continue;
        }
        line.remove_prefix(first);
        const std::size_t digits = line.find_first_not_of("0123456789");
        if (digits == 0 || digits == std::string_view::npos ||
            (line[digits] != ' ' && line[digits] != '\t')) {
            return Bad("malformed",
                       "line " + std::to_string(lineNo) + " does not start with its time");
        }
        if (IsRulesLine(line)) {
            rules = true;
        }
    }
    if (!rules) {
        // The contract: no rules line means a rules version this server can't rank
        return Refusal{422, "rules", "the recording names no rules version (0 option rules N)"};
    }
    return std::nullopt;
}

} // namespace Server
