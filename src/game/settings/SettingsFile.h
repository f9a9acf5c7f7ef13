// settings.ini: what the player chose, as a short commented text the player
// may also edit by hand. Reading keeps the defaults for whatever it can't
// take; a rewrite changes only the lines of the settings it changes, so the
// player's comments stay and the lines not understood become comments.
#pragma once

#include "display/Bindings.h"
#include "game/core/DifficultySetting.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Settings {

struct Values {
    Morvek::Difficulty difficulty = Morvek::Difficulty::Normal;
    std::uint32_t speed = 30;
    bool sound = true;
    bool fullscreen = false;
    bool integerScale = false;
    Display::Bindings::Table keys = Display::Bindings::Defaults();
    // Sessions kept as replays; 0 records none. Set by hand only, as are the
    // two below.
    std::uint32_t replaysKept = 50;
    std::string leaderboard; // its address, checked (Online.h); "" for none
    std::string playerName;  // the name shown there, "" for none yet
    bool operator==(const Values&) const = default;
};

struct Problem {
    std::size_t line; // 1-based
    std::string what;
};

struct Read {
    Values values;
    std::vector<std::string> notUnderstood; // whole lines, as they stood
    std::vector<Problem> problems;
};

// A settings file is a few hundred bytes; a longer one than this is no
// settings file of ours, and is neither read nor written over.
constexpr std::size_t kMaxBytes = 1 << 20;
// More replays than this would be a mistake for the disk's sake.
constexpr std::uint32_t kMaxReplaysKept = 10000;

Read Parse(std::string_view text);
// A whole new file.
std::string Format(const Values& values, const std::vector<std::string>& notUnderstood);
// `text`, the file as it is now, with the settings `mine` changed from
// `base` set as `mine` has them. Every other line keeps its place: comments,
// settings another game or the player changed meanwhile, and lines not
// understood, which become `# not understood:` comments. A blank `text`
// gives a whole new file.
std::string Update(std::string_view text, const Values& base, const Values& mine);

// One option of the options screen by its name ("difficulty", "speed") and
// the name of its choice ("easy", "slow"); false, changing nothing, for any
// other. Shared with the recordings' option lines.
bool SetChoice(Values& values, std::string_view option, std::string_view choice);
// The name of the choice `values` holds for `option`, "" if none.
std::string_view ChoiceName(const Values& values, std::string_view option);

} // namespace Settings
