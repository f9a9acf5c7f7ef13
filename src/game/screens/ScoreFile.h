// The highscore file: its reading rule and its format, with no display calls.
#pragma once

#include "game/core/World.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace Morvek {

// Where the table is kept; the one place that names the file (ScorePlace
// chooses it for a run).
extern std::string scorefile;

// One try at saving the result (scores[kResultPlace].name, score), after `tries`
// others: inserts it into the table as the file holds it now and writes the
// file. Busy while another game holds the table, until the last try; the
// caller then waits outside the game (Wait::Kind::Outside) and tries again,
// so a window stays alive. On a failure the table in memory stays as it was,
// the reason goes to stderr and the run's exit status will say so.
enum class SaveOutcome : std::uint8_t { Saved, Failed, Busy };
SaveOutcome TrySaveResult(std::uint32_t tries);

// The exit status of a run in which a save failed.
constexpr int kExitSaveFailed = 4;

namespace ScoreFile {

using Table = std::array<Highscore, kResultPlace + 1>; // places 1..10, then the new result

constexpr std::uint32_t kPlaces = 10;
// Ten entries as the game writes them take 180 bytes; this leaves hand-edited
// files plenty of room while a huge or endless file is never read whole.
constexpr std::size_t kMaxRead = 4096;

// How long a save waits for another game's save before it gives up.
constexpr int kLockWaitMs = 10000;
// A game that tries again every kSaveRetryMs gives up after as long.
constexpr std::uint32_t kSaveRetryMs = 10;
constexpr std::uint32_t kSaveTries = kLockWaitMs / kSaveRetryMs;

// Places 1..10 from the bytes of a file. Entries the reading rule can't take
// are skipped or repaired (a name cut to seven characters, a negative score
// as 0) rather than ending the table. Places not read get a blank name and 0.
// Returns how many places were read.
std::uint32_t Parse(std::string_view data, Table& table);

// Whether a save of `table`, read from `data` (the file, or as much of it as
// a save reads: kMaxRead + 1 bytes), keeps every byte of it: a missing or
// empty file, or places in order in the form Format writes, with or without
// text after the tenth entry (kept after the new table). Not so a file longer
// than kMaxRead, or a tenth score that runs on in more digits than it holds.
bool ReadCleanly(std::string_view data, const Table& table);

// Reads at most kMaxRead bytes of the file; a missing or unreadable file, or
// one that is not a regular file, reads as an empty table.
std::uint32_t Read(const std::string& path, Table& table);

// The file's content for places 1..10: one line, no line break.
std::string Format(const Table& table);

// Sorts table[11] (name already typed) with `result` into places 1..10: it
// goes below every equal score, the old tenth falls into slot 11. Places out
// of order are sorted first (equal ones keep theirs), so the best ten stay.
void Insert(Table& table, std::uint32_t result);

// Whether a table can be kept at `path`: it is a regular file or missing, and
// a file can be made in its folder. False with a one-line reason otherwise.
bool CheckPath(const std::string& path, std::string& error);

// Under a lock shared with other games: reads the file at `path` (through a
// symbolic link to its target), inserts the result, keeps a file that did not
// read cleanly as `<path>.bak`, and replaces the file in one step, keeping its
// permissions and, where the process may, its owner. `table` gets what was
// written. With `takeIn`, a table missing at `path` starts as that file's
// (which stays as it is), said on stderr. Gives up waiting for the lock when
// the run is asked to stop. With `busy`, tries the lock once and, when
// another game holds it, sets *busy instead of waiting.
bool Save(const std::string& path, const std::array<char, 7>& name, std::uint32_t result,
          Table& table, std::string& error, const std::string& takeIn = "", bool* busy = nullptr);

// A name as it may be drawn: bytes that are not printable become '?'.
std::string Shown(const std::array<char, 7>& name);

} // namespace ScoreFile
} // namespace Morvek
