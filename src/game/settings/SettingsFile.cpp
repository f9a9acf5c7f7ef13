#include "game/settings/SettingsFile.h"

#include "game/screens/Layout.h"
#include "game/settings/Online.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <utility>

namespace Settings {

namespace {

namespace Layout = Morvek::Layout;

constexpr std::string_view kKept = "# not understood: ";
constexpr std::string_view kKeyPrefix = "key-";
constexpr std::string_view kReplaysKept = "replays-kept";
constexpr std::string_view kLeaderboard = "leaderboard";
constexpr std::string_view kPlayerName = "player-name";

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

// The settings only a hand sets: what is wrong with `name = value`, or "".
std::string TakeHandSet(Values& values, std::string_view name, std::string_view value) {
    std::string why;
    if (name == kReplaysKept) {
        std::uint32_t n = 0;
        const auto [end, err] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (err != std::errc{} || end != value.data() + value.size() || n > kMaxReplaysKept) {
            return Quote(value) + " is no number of replays from 0 to " +
                   std::to_string(kMaxReplaysKept);
        }
        values.replaysKept = n;
        return "";
    }
    if (name == kLeaderboard) {
        std::string normal;
        if (!Online::CheckAddress(value, normal, why)) {
            return "no leaderboard: " + why;
        }
        values.leaderboard = normal;
        return "";
    }
    if (name == kPlayerName) {
        if (!Online::CheckName(value, why)) {
            return "no player name: " + why;
        }
        values.playerName = value;
        return "";
    }
    return "unknown setting " + Quote(name);
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
    return TakeHandSet(values, name, value);
}

// One line of the file as read, and where a setting taken from it has its
// value, so that a rewrite can change that and nothing else.
struct Line {
    std::string_view raw; // without its '\n'
    enum class Kind { Other, Setting, NotUnderstood } kind = Kind::Other;
    std::string_view name;
    std::size_t valueAt = 0;
    std::size_t valueSize = 0;
};

Read Scan(std::string_view text, std::vector<Line>* lines) {
    Read read;
    FromFile fromFile{};
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        Line info;
        info.raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::string_view line = Trim(info.raw);
        if (line.substr(0, kKept.size()) == kKept) {
            read.notUnderstood.emplace_back(line.substr(kKept.size()));
        } else if (!line.empty() && line[0] != '#') {
            const auto equals = line.find('=');
            std::string what;
            if (equals == std::string_view::npos) {
                what = "not a setting: " + Quote(line);
            } else {
                info.name = Trim(line.substr(0, equals));
                const std::string_view value = Trim(line.substr(equals + 1));
                what = Take(read.values, fromFile, info.name, value);
                if (what.empty()) { // a value taken is never empty
                    info.valueAt = static_cast<std::size_t>(value.data() - info.raw.data());
                    info.valueSize = value.size();
                }
            }
            info.kind = what.empty() ? Line::Kind::Setting : Line::Kind::NotUnderstood;
            if (!what.empty()) {
                read.problems.push_back({number, what});
                read.notUnderstood.emplace_back(line);
            }
        }
        if (lines != nullptr) {
            lines->push_back(info);
        }
    }
    return read;
}

// Every setting by its name in the file, and its value as the file has it.
std::vector<std::pair<std::string, std::string>> Entries(const Values& v) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& o : kOptions) {
        entries.emplace_back(o.name, ChoiceName(v, o.name));
    }
    for (const auto& s : kSwitches) {
        entries.emplace_back(s.name, v.*s.field ? "on" : "off");
    }
    for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
        entries.emplace_back(std::string(kKeyPrefix) + std::string(Keys::kActions[i].name),
                             Keys::KeyName(v.keys[i]));
    }
    // The one hand-set value the game writes too: the name it asked for
    entries.emplace_back(kPlayerName, v.playerName);
    return entries;
}

// What the file holds now, with this game's own changes made to it. A key
// taken from an action swaps with it, as on the Controls screen, so the
// keys stay one to an action.
Values Merge(Values now, const Values& base, const Values& mine) {
    if (mine.difficulty != base.difficulty) {
        now.difficulty = mine.difficulty;
    }
    if (mine.speed != base.speed) {
        now.speed = mine.speed;
    }
    for (const auto& s : kSwitches) {
        if (mine.*s.field != base.*s.field) {
            now.*s.field = mine.*s.field;
        }
    }
    for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
        if (mine.keys[i] != base.keys[i]) {
            Keys::Bind(now.keys, i, mine.keys[i]);
        }
    }
    if (mine.playerName != base.playerName && !mine.playerName.empty()) {
        now.playerName = mine.playerName;
    }
    return now;
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
    return Scan(text, nullptr);
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
    text +=
        "\n# Sessions kept as replays beside the highscore table, the newest; 0 records none\n" +
        std::string(kReplaysKept) + " = " + std::to_string(values.replaysKept) + "\n";
    // Nothing is sent anywhere yet; README.md says what will be.
    text += "\n# A leaderboard: http://127.0.0.1, http://localhost or https:// addresses\n";
    text += values.leaderboard.empty()
                ? "# " + std::string(kLeaderboard) + " = https://example.org/morvek\n"
                : std::string(kLeaderboard) + " = " + values.leaderboard + "\n";
    text += "# The name shown there: 1 to 7 letters A to Z, as the name entry takes\n";
    text += values.playerName.empty() ? "# " + std::string(kPlayerName) + " = Morvek\n"
                                      : std::string(kPlayerName) + " = " + values.playerName + "\n";
    if (!notUnderstood.empty()) {
        text += "\n# Lines the game did not understand, kept as they were:\n";
        for (const auto& line : notUnderstood) {
            text += std::string(kKept) + line + "\n";
        }
    }
    return text;
}

std::string Update(std::string_view text, const Values& base, const Values& mine) {
    std::vector<Line> lines;
    const Values now = Scan(text, &lines).values;
    const Values merged = Merge(now, base, mine);
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        return Format(merged, {});
    }
    std::vector<std::string> edited;
    std::map<std::string, std::size_t, std::less<>> last; // the line a setting's value is from
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        edited.emplace_back(l.raw);
        if (l.kind == Line::Kind::Setting) {
            last[std::string(l.name)] = i;
        } else if (l.kind == Line::Kind::NotUnderstood) {
            // Said once at the start that read it, then kept out of the way.
            edited.back() =
                std::string(kKept) + std::string(Trim(l.raw)) + (l.raw.ends_with('\r') ? "\r" : "");
        }
    }
    // A key line read earlier could refuse a key a later line takes, so
    // changed keys are written one line to each action.
    const bool keys = merged.keys != now.keys;
    std::vector<bool> dropped(lines.size(), false);
    for (std::size_t i = 0; keys && i < lines.size(); ++i) {
        const Line& l = lines[i];
        dropped[i] = l.kind == Line::Kind::Setting && l.name.starts_with(kKeyPrefix) &&
                     last.find(l.name)->second != i;
    }
    const bool crlf = lines.front().raw.ends_with('\r');
    std::string added;
    const auto want = Entries(merged), had = Entries(now);
    for (std::size_t k = 0; k < want.size(); ++k) {
        const auto& [name, value] = want[k];
        if (name.starts_with(kKeyPrefix) ? !keys : value == had[k].second || value.empty()) {
            continue;
        }
        const auto at = last.find(name);
        if (at == last.end()) {
            added += name + " = " + value + (crlf ? "\r\n" : "\n");
        } else {
            const Line& l = lines[at->second];
            edited[at->second].replace(l.valueAt, l.valueSize, value);
        }
    }
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!dropped[i]) {
            out += edited[i] + (i + 1 < lines.size() || text.ends_with('\n') ? "\n" : "");
        }
    }
    if (!added.empty() && !out.empty() && !out.ends_with('\n')) {
        out += crlf && !out.ends_with('\r') ? "\r\n" : "\n";
    }
    return out + added;
}

} // namespace Settings
