#include "game/settings/RunSettings.h"

#include "game/Game.h"
#include "game/settings/SettingsStore.h"

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

void StartRun(const std::string& file, Wimdows::Host::Settings& window, bool& mute) {
    if (file.empty()) {
        Close();
    } else {
        Open(file);
    }
    const Values v = Stored();
    Game::options.difficulty = v.difficulty;
    Game::options.speed = v.speed;
    window.fullscreen = window.fullscreen || v.fullscreen;
    window.integerScale = window.integerScale || v.integerScale;
    mute = mute || !v.sound;
    window.fullscreenSwitched = [](bool full) {
        Change([full](Values& kept) { kept.fullscreen = full; });
    };
}

} // namespace Settings
