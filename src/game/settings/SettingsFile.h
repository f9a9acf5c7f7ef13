// settings.ini: what the player chose, as a short commented text the player
// may also edit by hand. Reading keeps the defaults for whatever it can't
// take and remembers those lines, so a rewrite keeps them as comments.
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

// Longer files are read this far only: a settings file is a few hundred bytes.
constexpr std::size_t kMaxBytes = 65536;

Read Parse(std::string_view text);
std::string Format(const Values& values, const std::vector<std::string>& notUnderstood);

// One option of the options screen by its name ("difficulty", "speed") and
// the name of its choice ("easy", "slow"); false, changing nothing, for any
// other. Shared with the recordings' option lines.
bool SetChoice(Values& values, std::string_view option, std::string_view choice);
// The name of the choice `values` holds for `option`, "" if none.
std::string_view ChoiceName(const Values& values, std::string_view option);

} // namespace Settings
