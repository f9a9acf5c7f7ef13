// What a run takes from the settings file and hands back to it.
#pragma once

#include "display/Host.h"
#include "display/Run.h"

#include <array>
#include <cstdint>
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
// played, whatever the machine's settings. Besides the choices: `rules N`,
// the rules version it was played by (another one is refused); `practice`,
// the practice start (over --level and --boss); `score PLACE NAME POINTS`,
// the highscore table it began with, kept in memory for the run instead of
// the machine's. False, with "SCRIPT:LINE: the reason", for an option the
// game does not know.
bool StartFromScript(const std::vector<Display::Run::InputEvent>& options, std::string_view script,
                     std::string& error);
// The rules version a script's options name, 0 for none or a malformed one.
std::uint32_t RulesOf(const std::vector<Display::Run::InputEvent>& options);
// What the run starts from, as the first lines of the recording: the rules
// version, the choices, the practice start and the highscore table.
void RecordStart();

} // namespace Settings
