// What the Replays screen lists of the kept sessions: each one's start, and
// its best score, which takes a replay to know. Replaying is done a little
// at a time, so the list shows at once and the scores fill in, and what it
// found is kept in a small file beside the replays, by name and size, so the
// next opening needs none (a replay that grew since is scored again).
#pragma once

#include "host/ReplayGame.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Program::ReplayShelf {

// The scores found, in the replays' folder.
constexpr std::string_view kCacheName = "scores-found.txt";

struct Entry {
    std::string name; // the file's (Replays::IsReplayName)
    std::uintmax_t size = 0;
    std::string when; // its start in local time: "2026-12-08 15:03:59"
    // The options its first game was played with once it is scored; until
    // then, or without a game, those it started from.
    std::string difficulty, speed;
    // Why it can't be played (another rules version, a broken file), in one
    // line; "" when it can.
    std::string refused;
    bool scored = false;
    // The highest score any of its games reached; none without a game.
    std::optional<std::uint32_t> best;

    bool Playable() const { return refused.empty(); }
    bool operator==(const Entry&) const = default;
};

// The folder's replays, newest first: only files named as the game names
// them, each with its start read and what the cache file knows of it.
std::vector<Entry> List(const std::filesystem::path& folder);

// "2026-12-08 15:03:59" for a replay's name (which holds UTC), in local time.
std::string LocalTime(std::string_view name);

// Replays the entries not yet scored, one after the other, headless.
class Scorer {
  public:
    explicit Scorer(std::filesystem::path folder);
    ~Scorer();
    Scorer(const Scorer&) = delete;
    Scorer& operator=(const Scorer&) = delete;

    // Works on `entries` for about `budget`, then returns: true when an entry
    // was scored (or found broken) meanwhile. Each one done is kept in the
    // cache file at once.
    bool Work(std::vector<Entry>& entries, std::chrono::microseconds budget);
    // Whether any entry is still to be scored.
    static bool Left(const std::vector<Entry>& entries);

  private:
    void Done(std::vector<Entry>& entries, Entry& entry);

    std::filesystem::path folder_;
    std::string name_; // the entry being replayed
    std::unique_ptr<ReplayGame> game_;
    std::uint64_t turns_ = 0;
};

// Writes the cache file: every entry scored or found broken.
void SaveCache(const std::filesystem::path& folder, const std::vector<Entry>& entries);

} // namespace Program::ReplayShelf
