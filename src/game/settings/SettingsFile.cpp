#include "game/settings/SettingsFile.h"

#include "game/screens/Layout.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>

namespace Settings {

namespace {

namespace Layout = Morvek::Layout;

constexpr std::string_view kKept = "# not understood: ";
constexpr std::string_view kKeyPrefix = "key-";

namespace Keys = Display::Bindings;
using FromFile = std::array<bool, Keys::kActions.size()>;

struct Switch {
    std::string_view name;
    bool Values::*field;
    std::string_view comment;
};
constexpr std::array kSwitches{
    Switch{"sound", &Values::sound, "on or off (M switches it)"},
    Switch{"fullscreen", &Values::fullscreen, "on or off (F11 or Alt+Enter switch it)"},
    Switch{"integer-scale", &Values::integerScale,
           "on or off: show the game only at whole multiples of its size"},
};

struct Option {
    std::string_view name;
    Layout::Setting setting;
};
constexpr std::array kOptions{Option{"difficulty", Layout::Setting::Difficulty},
                              Option{"speed", Layout::Setting::Speed}};

const Option* FindOption(std::string_view name) {
    const auto o = std::find_if(kOptions.begin(), kOptions.end(),
                                [name](const Option& x) { return x.name == name; });
    return o == kOptions.end() ? nullptr : &*o;
}

bool Holds(const Values& v, const Layout::Choice& c) {
    return c.setting == Layout::Setting::Difficulty ? v.difficulty == c.difficulty
                                                    : v.speed == c.speed;
}

std::string ChoiceList(Layout::Setting s) {
    std::string list;
    for (const auto& c : Layout::kChoices) {
        if (c.setting == s) {
            list += (list.empty() ? "" : ", ") + std::string(c.name);
        }
    }
    return list;
}

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

using Text::Quote;

// A key the file binds twice is a mistake; one it takes from an action the
// file left at its default swaps, as on the Controls screen.
std::string TakeKey(Values& values, FromFile& fromFile, std::string_view action,
                    std::string_view value) {
    const auto a = std::find_if(Keys::kActions.begin(), Keys::kActions.end(),
                                [action](const Keys::Action& x) { return x.name == action; });
    if (a == Keys::kActions.end()) {
        return "unknown action " + Quote(action);
    }
    const auto index = static_cast<std::size_t>(a - Keys::kActions.begin());
    const auto key = Keys::KeyByName(value);
    if (!key || !Keys::Bindable(*key)) {
        return Quote(value) + " is no key a binding may take";
    }
    const auto holder = std::find(values.keys.begin(), values.keys.end(), *key);
    const auto other = static_cast<std::size_t>(holder - values.keys.begin());
    if (holder != values.keys.end() && other != index && fromFile[other]) {
        return Quote(value) + " is bound to " + std::string(Keys::kActions[other].name) +
               " already";
    }
    Keys::Bind(values.keys, index, *key);
    fromFile[index] = true;
    return "";
}

// What is wrong with `name = value`, or "".
std::string Take(Values& values, FromFile& fromFile, std::string_view name,
                 std::string_view value) {
    if (name.substr(0, kKeyPrefix.size()) == kKeyPrefix) {
        return TakeKey(values, fromFile, name.substr(kKeyPrefix.size()), value);
    }
    if (const Option* o = FindOption(name)) {
        return SetChoice(values, name, value) ? ""
                                              : Quote(value) + " is not a " + std::string(name) +
                                                    " (" + ChoiceList(o->setting) + ")";
    }
    for (const auto& s : kSwitches) {
        if (s.name == name) {
            if (value != "on" && value != "off") {
                return Quote(value) + " is neither on nor off";
            }
            values.*s.field = value == "on";
            return "";
        }
    }
    return "unknown setting " + Quote(name);
}

} // namespace

bool SetChoice(Values& values, std::string_view option, std::string_view choice) {
    const Option* o = FindOption(option);
    if (o == nullptr) {
        return false;
    }
    for (const auto& c : Layout::kChoices) {
        if (c.setting == o->setting && c.name == choice) {
            if (c.setting == Layout::Setting::Difficulty) {
                values.difficulty = c.difficulty;
            } else {
                values.speed = c.speed;
            }
            return true;
        }
    }
    return false;
}

std::string_view ChoiceName(const Values& values, std::string_view option) {
    const Option* o = FindOption(option);
    for (const auto& c : Layout::kChoices) {
        if (o != nullptr && c.setting == o->setting && Holds(values, c)) {
            return c.name;
        }
    }
    return "";
}

Read Parse(std::string_view text) {
    Read read;
    FromFile fromFile{};
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::string_view line = Trim(raw);
        if (line.substr(0, kKept.size()) == kKept) {
            read.notUnderstood.emplace_back(line.substr(kKept.size()));
            continue;
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const auto equals = line.find('=');
        std::string what;
        if (equals == std::string_view::npos) {
            what = "not a setting: " + Quote(line);
        } else {
            what = Take(read.values, fromFile, Trim(line.substr(0, equals)),
                        Trim(line.substr(equals + 1)));
        }
        if (!what.empty()) {
            read.problems.push_back({number, what});
            read.notUnderstood.emplace_back(Trim(raw));
        }
    }
    return read;
}

std::string Format(const Values& values, const std::vector<std::string>& notUnderstood) {
    std::string text = "# Morvek's settings. The game writes this file when a setting is changed\n"
                       "# in play; command-line options win over it for one run.\n";
    for (const auto& o : kOptions) {
        text += "\n# " + ChoiceList(o.setting) + "\n" + std::string(o.name) + " = " +
                std::string(ChoiceName(values, o.name)) + "\n";
    }
    for (const auto& s : kSwitches) {
        text += "\n# " + std::string(s.comment) + "\n" + std::string(s.name) + " = " +
                (values.*s.field ? "on" : "off") + "\n";
    }
    text += "\n# The keys of play, named as the Controls screen shows them (Z, Space,\n"
            "# Left, Keypad5, F1...); Escape, Return, M and keypad 1 to 3 keep theirs.\n";
    for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
        text += std::string(kKeyPrefix) + std::string(Keys::kActions[i].name) + " = " +
                Keys::KeyName(values.keys[i]) + "\n";
    }
    if (!notUnderstood.empty()) {
        text += "\n# Lines the game did not understand, kept as they were:\n";
        for (const auto& line : notUnderstood) {
            text += std::string(kKept) + line + "\n";
        }
    }
    return text;
}

} // namespace Settings
