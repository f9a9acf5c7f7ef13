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
// changes, or the defaults. Any thread.
Values Stored();
// Applies `change` to the stored values; when that changes anything, the
// file is rewritten in one step (its folder made first) with just the
// settings this run changed set anew. A file that can't be written is said
// once on stderr, the game plays on. Any thread.
void Change(const std::function<void(Values&)>& change);

} // namespace Settings
