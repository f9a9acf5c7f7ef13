#include "game/RunSettings.h"

#include "game/Game.h"
#include "game/Rules.h"
#include "game/levels/Practice.h"
#include "game/screens/ScoreOption.h"
#include "game/screens/ScorePlace.h"
#include "game/settings/SettingsStore.h"
#include "util/Quote.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace Settings {

std::string FileFor(const Situation& s) {
    if (!s.given.empty()) {
        return s.given;
    }
    if (s.scripted || s.configFolder.empty()) {
        return "";
    }
    return (s.configFolder / "settings.ini").string();
}

void StartRun(const std::string& file, Display::Host::Settings& window, bool& mute) {
    if (file.empty()) {
        Close();
    } else {
        Open(file);
    }
    const Values v = Stored();
    Game::options.difficulty = v.difficulty;
    Game::options.speed = v.speed;
    Display::Bindings::Use(v.keys);
    window.fullscreen = window.fullscreen || v.fullscreen;
    window.integerScale = window.integerScale || v.integerScale;
    mute = mute || !v.sound;
    window.fullscreenSwitched = [](bool full) {
        Change([full](Values& kept) { kept.fullscreen = full; });
    };
}

namespace {

Values StartValues() {
    Values v;
    v.difficulty = Game::options.difficulty;
    v.speed = Game::options.speed;
    return v;
}

} // namespace

namespace {

// The option's value, none when `line` names another.
std::optional<std::string_view> ValueOf(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line.substr(0, name.size()) != name ||
        line[name.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(name.size() + 1);
}

std::uint32_t Rules(std::string_view value) {
    std::uint32_t n = 0;
    const auto [end, err] = std::from_chars(value.data(), value.data() + value.size(), n);
    return err == std::errc{} && end == value.data() + value.size() ? n : 0;
}

} // namespace

std::uint32_t RulesOf(const std::vector<Display::Run::InputEvent>& options) {
    for (const auto& o : options) {
        if (const auto value = ValueOf(o.option, "rules")) {
            return Rules(*value);
        }
    }
    return 0;
}

bool StartFromScript(const std::vector<Display::Run::InputEvent>& options, std::string_view script,
                     std::string& error) {
    Values v = StartValues();
    Morvek::PracticeChoice practice = Game::options.practice;
    Morvek::ScoreFile::Table table{};
    Morvek::ScoreFile::Parse("", table);
    bool tableGiven = false;
    for (const auto& o : options) {
        const std::string_view line = o.option;
        const auto space = line.find(' ');
        const auto name = line.substr(0, space);
        const auto value = space == std::string_view::npos ? "" : line.substr(space + 1);
        const bool choice = std::find(kRecorded.begin(), kRecorded.end(), name) != kRecorded.end();
        bool taken = false;
        if (choice) {
            taken = SetChoice(v, name, value);
        } else if (name == "rules") {
            const std::uint32_t rules = Rules(value);
            if (rules != 0 && rules != Morvek::kRulesVersion) {
                error = Text::At(script, o.line) + ": played by rules version " +
                        std::to_string(rules) + "; this game plays version " +
                        std::to_string(Morvek::kRulesVersion);
                return false;
            }
            taken = rules != 0;
        } else if (name == "practice") {
            const auto start = Morvek::PracticeFromName(value);
            taken = start.has_value();
            practice = start.value_or(practice);
        } else if (name == "score") {
            taken = Morvek::ScoreOption::Read(value, table);
            tableGiven = true;
        }
        if (!taken) {
            error = Text::At(script, o.line) + ": no option " + Text::Quote(o.option) +
                    " (difficulty and speed, as the options screen names them; rules, "
                    "practice, score)";
            return false;
        }
    }
    Game::options.difficulty = v.difficulty;
    Game::options.speed = v.speed;
    Game::options.practice = practice;
    if (tableGiven) {
        Morvek::ScorePlace::UseRecorded(table);
    }
    return true;
}

void RecordStart() {
    std::vector<std::string> lines{"rules " + std::to_string(Morvek::kRulesVersion)};
    const Values v = StartValues();
    for (const auto name : kRecorded) {
        lines.push_back(std::string(name) + " " + std::string(ChoiceName(v, name)));
    }
    lines.push_back("practice " + Morvek::PracticeName(Game::options.practice));
    Morvek::ScoreFile::Table table{};
    Morvek::ScorePlace::Read(table);
    for (std::uint32_t place = 1; place <= Morvek::ScoreFile::kPlaces; ++place) {
        lines.push_back(Morvek::ScoreOption::Line(place, table[place]));
    }
    for (auto& line : lines) {
        Display::Run::InputEvent option;
        option.kind = Display::Run::InputEvent::Option;
        option.option = std::move(line);
        Display::Run::Apply(option);
    }
}

} // namespace Settings
