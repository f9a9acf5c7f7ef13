// The runs waiting for the leaderboard, kept in the folder `outbox` beside
// the highscore table, so that a run outlives the game that played it: each
// one a copy of its session's recording as it stood when the game ended
// (ID.txt) and what is claimed and known of it (ID.run, a few lines of
// text). Several games may share the folder at once; the one that sends
// holds its lock, and every file is written whole or not at all.
#pragma once

#include "platform/SafeFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Program::Leaderboard {

constexpr std::string_view kOutboxFolder = "outbox";
// A leaderboard takes no larger recording.
constexpr std::size_t kMaxRecording = 4 * 1024 * 1024;
// Refused runs kept for their reasons, the newest; older ones go.
constexpr std::size_t kRefusedKept = 20;

enum class Stage {
    New,      // not yet taken by the server
    Pending,  // taken, being verified: `run` is its number there
    Accepted, // on the board at `place`
    Refused,  // for good: `code` and `reason` say why
};

struct Entry {
    std::string id;         // its files' name, which sorts as the runs were made
    std::string name;       // the player's name; empty until one is set
    std::uint32_t game = 0; // within its session, counted by its New Games
    std::int64_t score = 0;
    Stage stage = Stage::New;
    std::int64_t run = 0;
    std::int64_t place = 0; // 0 when the server named none
    std::string board;      // "normal-fast", once the server said
    std::string code, reason;
};

// The .run file's text, and back. Values are kept to one printable line.
std::string EntryText(const Entry& entry);
std::optional<Entry> ReadEntry(std::string_view text);

class Outbox {
  public:
    explicit Outbox(std::filesystem::path dataFolder);
    const std::filesystem::path& Folder() const { return folder_; }

    // A new entry: the recording as it stands now, cut after its last whole
    // line, claiming `score` for its `game` under `name` ("" for none yet).
    // A recording over kMaxRecording becomes a refused entry at once. The
    // entry made, or nothing with the reason (a full or read-only folder).
    std::optional<Entry> Add(const std::filesystem::path& recording, std::uint32_t game,
                             std::int64_t score, std::string_view name, std::string& why);
    // Every entry, oldest first; files that are no entry of ours are left alone.
    std::vector<Entry> List() const;
    std::optional<Entry> Find(const std::string& id) const;
    // Writes the entry's .run anew, in one step.
    bool Save(const Entry& entry, std::string& why);
    std::optional<std::string> Recording(const std::string& id, std::string& why) const;
    // The server's last word on an entry: an accepted one leaves the
    // outbox, a refused one stays without its recording. Either becomes the
    // `sent` record, the last outcome the game learnt.
    bool Finish(const Entry& entry, std::string& why);
    std::optional<Entry> LastSent() const;
    // The sender's lock, tried once: false when another game holds it.
    bool TryLock(SafeFile::Lock& lock, std::string& why) const;

  private:
    std::filesystem::path folder_;
};

} // namespace Program::Leaderboard
