#include "game/RunSettings.h"

#include "game/Game.h"
#include "game/settings/SettingsStore.h"
#include "util/Quote.h"

#include <algorithm>

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

bool StartFromScript(const std::vector<Display::Run::InputEvent>& options, std::string_view script,
                     std::string& error) {
    Values v = StartValues();
    for (const auto& o : options) {
        const std::string_view line = o.option;
        const auto space = line.find(' ');
        const auto name = line.substr(0, space);
        const bool known = std::find(kRecorded.begin(), kRecorded.end(), name) != kRecorded.end();
        if (space == std::string_view::npos || !known ||
            !SetChoice(v, name, line.substr(space + 1))) {
            error = Text::At(script, o.line) + ": no option " + Text::Quote(o.option) +
                    " (difficulty and speed, as the options screen names them)";
            return false;
        }
    }
    Game::options.difficulty = v.difficulty;
    Game::options.speed = v.speed;
    return true;
}

void RecordStart() {
    const Values v = StartValues();
    for (const auto name : kRecorded) {
        Display::Run::InputEvent option;
        option.kind = Display::Run::InputEvent::Option;
        option.option = std::string(name) + " " + std::string(ChoiceName(v, name));
        Display::Run::Apply(option);
    }
}

} // namespace Settings
