// What a run takes from the settings file and hands back to it.
#pragma once

#include "display/Host.h"
#include "display/Run.h"

#include <array>
#include <string_view>
#include <vector>

#include <filesystem>
#include <string>

namespace Settings {

struct Situation {
    std::string given;                  // --settings FILE, or ""
    bool scripted = false;              // --script, --autopilot: replays must not depend on a file
    std::filesystem::path configFolder; // empty when the system names none
};

// The file this run reads and keeps its settings in, "" for none.
std::string FileFor(const Situation& situation);

// Opens `file` (none for "") and starts the run from what it holds; the
// command line's `window` and `mute` win and are not kept. From here on the
// choices the player makes are kept: the options on leaving their screen,
// the sound at M, the full screen when it is switched.
void StartRun(const std::string& file, Display::Host::Settings& window, bool& mute);

// The options screen's choices, as the option lines of recordings hold them.
constexpr std::array<std::string_view, 2> kRecorded{"difficulty", "speed"};
// A script's option lines win over the file: a recording replays as it was
// played, whatever the machine's settings. False, with "SCRIPT:LINE: the
// reason", for an option the game does not know.
bool StartFromScript(const std::vector<Display::Run::InputEvent>& options, std::string_view script,
                     std::string& error);
// The choices in force, as the first lines of the recording.
void RecordStart();

} // namespace Settings
