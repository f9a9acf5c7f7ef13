// The settings file of this run, if it has one: read once at start, written
// only when the player changes a setting. Runs driven by a script have none.
#pragma once

#include "game/settings/SettingsFile.h"

#include <functional>
#include <string>

namespace Settings {

// Reads `file` (a missing one reads as the defaults), saying on stderr, one
// line each, what it could not take. A file that can't be read whole (no
// regular file, longer than kMaxBytes) is said in one line and never written.
// Writes nothing, but clears what killed writes left beside the file.
void Open(const std::string& file);
// No file: the defaults, and changes are not kept (tests, scripted runs).
void Close();
// This run's settings: what the file held at the start with the run's own
// changes, or the defaults.
Values Stored();
// Applies `change` to the stored values; when that changes anything, the
// file is rewritten in one step (its folder made first) with just the
// settings this run changed set anew. A file that can't be written is said
// once on stderr, the game plays on. It never waits: a file another game
// holds locked leaves the change pending.
void Change(const std::function<void(Values&)>& change);
// A change waits for the file's lock.
bool Pending();
// Tries a pending change once more; the host's loop calls it after each step.
void Retry();
// A side game's settings, apart from the run's: the defaults and no file, so
// that what its options and Controls screens choose is never written.
// Exchange swaps them with the ones in force.
struct Kept {
    std::string path;
    Values stored, written;
    bool complained = false, pending = false;
};
void Exchange(Kept& other);
// The leaderboard this run would join: the command line's address, for this
// run only and never kept, over the file's. "" for none.
void UseLeaderboard(const std::string& address);
std::string Leaderboard();
// At the program's end: a pending change waits up to 2 s for the lock, and
// is said on stderr if it still can't be written.
void Flush();

} // namespace Settings
