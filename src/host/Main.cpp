// The program's command line, and the run: headless, in a window or in a page,
// the game runs on the one thread.
#include "Version.h"
#include "audio/Sound.h"
#include "display/Host.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/RunSettings.h"
#include "game/autopilot/Autopilot.h"
#include "game/core/Catalogue.h"
#include "game/core/MediaPath.h"
#include "game/core/StateDump.h"
#include "game/core/WaitTrace.h"
#include "game/levels/Practice.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/ScorePlace.h"
#include "game/settings/Online.h"
#include "game/settings/SettingsStore.h"
#include "host/Loop.h"
#include "host/Online.h"
#include "host/Replays.h"
#include "host/Verify.h"
#include "host/Watch.h"
#include "platform/Folders.h"
#include "platform/System.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Text::Quote;

struct CommandLine {
    bool headless = false;
    bool help = false;
    bool version = false;
    std::string script;
    std::string record;
    std::string trace;
    std::string verify;
    std::uint32_t watchFrom = 0; // 0: no watch
    bool mute = false;
    bool autopilot = false;
    bool scores = false; // --scores given
    std::string settings;
    std::string leaderboard; // checked, "" when not given
    Autopilot::Settings pilot;
    Display::Host::Settings window;
};

// Whether `v` is all a whole number, which lands in `n`.
template <typename Number> bool Whole(std::string_view v, Number& n) {
    const auto [end, err] = std::from_chars(v.data(), v.data() + v.size(), n);
    return err == std::errc{} && end == v.data() + v.size();
}

// Returns what is wrong with the value, or "".
using Setter = std::string (*)(CommandLine& line, std::string_view value);

struct Option {
    std::string_view name;
    std::string_view value; // "" for a switch
    std::string_view help;
    Setter set;
};

constexpr std::array kOptions{
    Option{"--headless", "", "run without a window and without real sleeping",
           [](CommandLine& c, std::string_view) {
               c.headless = true;
               return std::string{};
           }},
    Option{"--script", "FILE", "play the input events of FILE",
           [](CommandLine& c, std::string_view v) {
               c.script = v;
               return std::string{};
           }},
    Option{"--record", "FILE", "write every input event of the run to FILE",
           [](CommandLine& c, std::string_view v) {
               c.record = v;
               return std::string{};
           }},
    Option{"--trace", "FILE", "write a line for every wait of the run to FILE (checks of replays)",
           [](CommandLine& c, std::string_view v) {
               c.trace = v;
               return std::string{};
           }},
    Option{"--watch-from", "N",
           "with --script: the recording goes by in fast forward up to the New Game of its "
           "game N, plays that game at its own pace and ends once it is over",
           [](CommandLine& c, std::string_view v) {
               std::uint32_t n = 0;
               if (!Whole(v, n) || n == 0) {
                   return "--watch-from takes a game's number from 1, not " + Quote(v);
               }
               c.watchFrom = n;
               return std::string{};
           }},
    Option{"--verify", "FILE",
           "replay the recording FILE as fast as it goes and print what each game of it came "
           "to, as one line of JSON (alone: no other option)",
           [](CommandLine& c, std::string_view v) {
               c.verify = v;
               return std::string{};
           }},
    Option{"--level", "N", "a new game starts in level N (1 to the last)",
           [](CommandLine&, std::string_view v) {
               std::uint32_t n = 0;
               if (!Whole(v, n) || !Morvek::IsLevel(n)) {
                   return "--level takes a level from 1 to " + std::to_string(Morvek::kLastLevel) +
                          ", not " + Quote(v);
               }
               Game::options.practice.level = n;
               return std::string{};
           }},
    Option{"--boss", "", "a new game starts at the level's boss fight",
           [](CommandLine&, std::string_view) {
               Game::options.practice.boss = true;
               return std::string{};
           }},
    Option{"--autopilot", "", "let the computer play a whole game, then end the run",
           [](CommandLine& c, std::string_view) {
               c.autopilot = true;
               return std::string{};
           }},
    Option{"--autopilot-ticks", "N", "let the computer play games for N ticks of play",
           [](CommandLine& c, std::string_view v) {
               std::uint64_t n = 0;
               if (!Whole(v, n) || n == 0) {
                   return "--autopilot-ticks takes a positive number, not " + Quote(v);
               }
               c.autopilot = true;
               c.pilot.games = 0;
               c.pilot.tickLimit = n;
               return std::string{};
           }},
    Option{"--autopilot-no-cheats", "", "the autopilot plays without the cheat keys",
           [](CommandLine& c, std::string_view) {
               c.autopilot = true;
               c.pilot.cheats = false;
               return std::string{};
           }},
    Option{"--autopilot-shots", "DIR", "the autopilot takes pictures of its milestones in DIR",
           [](CommandLine& c, std::string_view v) {
               c.pilot.shots = v;
               return std::string{};
           }},
    Option{"--fullscreen", "", "start on the full screen (F11 or Alt+Enter switch it)",
           [](CommandLine& c, std::string_view) {
               c.window.fullscreen = true;
               return std::string{};
           }},
    Option{"--scale", "N", "open the window N times the game's 1024 x 768, if the desktop has room",
           [](CommandLine& c, std::string_view v) {
               std::uint32_t n = 0;
               if (!Whole(v, n) || n < 1 || n > 16) {
                   return "--scale takes a whole number from 1 to 16, not " + Quote(v);
               }
               c.window.scale = n;
               return std::string{};
           }},
    Option{"--integer-scale", "", "show the game only at whole multiples of its size",
           [](CommandLine& c, std::string_view) {
               c.window.integerScale = true;
               return std::string{};
           }},
    Option{"--mute", "", "start with the sound off (M switches it in play)",
           [](CommandLine& c, std::string_view) {
               c.mute = true;
               return std::string{};
           }},
    Option{"--scores", "FILE", "keep the highscores in FILE instead of myscore.txt",
           [](CommandLine& c, std::string_view v) {
               if (v.empty()) {
                   return std::string("--scores needs a file name");
               }
               c.scores = true;
               Morvek::scorefile = v;
               return std::string{};
           }},
    Option{"--settings", "FILE", "read and keep the settings in FILE, even in a scripted run",
           [](CommandLine& c, std::string_view v) {
               if (v.empty()) {
                   return std::string("--settings needs a file name");
               }
               c.settings = v;
               return std::string{};
           }},
    Option{"--leaderboard", "URL",
           "the leaderboard for this run, over settings.ini's: http://127.0.0.1, "
           "http://localhost or https:// addresses",
           [](CommandLine& c, std::string_view v) {
               std::string why;
               if (!Settings::Online::CheckAddress(v, c.leaderboard, why)) {
                   return "--leaderboard: " + why;
               }
               return std::string{};
           }},
    Option{"--help", "", "show this list",
           [](CommandLine& c, std::string_view) {
               c.help = true;
               return std::string{};
           }},
    Option{"--version", "", "show the game's version",
           [](CommandLine& c, std::string_view) {
               c.version = true;
               return std::string{};
           }},
};

std::string Usage() {
    std::string text = "morvek " + std::string(kVersion) + "\nusage: morvek [options]\n";
    for (const auto& o : kOptions) {
        std::string left =
            std::string(o.name) + (o.value.empty() ? "" : " ") + std::string(o.value);
        left.resize(std::max<std::size_t>(left.size() + 2, 18), ' ');
        text += "  " + left + std::string(o.help) + "\n";
    }
    namespace Verify = Program::Verify;
    text += "--verify refuses a recording of more than " + std::to_string(Verify::kMaxBytes) +
            " bytes or " + std::to_string(Verify::kMaxEvents) + " events, and stops one past " +
            std::to_string(Verify::kMaxTicks) +
            " ticks of play; it exits with 3 for a malformed recording, 4 over a limit, 5 when "
            "no game ended, 6 for another rules version, 7 without the game's pictures\n";
    return text;
}

std::string Parse(const std::vector<std::string>& argv, CommandLine& line) {
    const int argc = static_cast<int>(argv.size());
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const Option* found = nullptr;
        for (const auto& o : kOptions) {
            found = o.name == arg ? &o : found;
        }
        if (found == nullptr) {
            return "unknown option " + Quote(arg);
        }
        std::string_view value;
        if (!found->value.empty()) {
            if (i + 1 >= argc) {
                return std::string(arg) + " needs " + std::string(found->value);
            }
            value = argv[++i];
        }
        if (auto bad = found->set(line, value); !bad.empty()) {
            return bad;
        }
    }
    return "";
}

// The folder of the table the run keeps: replays and the leaderboard's
// outbox go beside it. None beside an autopilot's table or one in memory.
std::filesystem::path DataFolder() {
    namespace Place = Morvek::ScorePlace;
    const Place::Kind kind = Place::InUse();
    if (kind != Place::Kind::File && kind != Place::Kind::DataFolder) {
        return {};
    }
    const std::filesystem::path folder = System::PathOf(Morvek::scorefile).parent_path();
    return folder.empty() ? "." : folder;
}

std::filesystem::path ReplayFolder() {
    const std::filesystem::path data = DataFolder();
    return data.empty() ? data : data / Program::Replays::kFolder;
}

// Only a player's own session is kept: a driven run replays or tests, and
// --record names its own file.
bool KeepsReplay(const CommandLine& line) {
    return line.record.empty() && line.script.empty() && !line.autopilot && !line.headless &&
           line.watchFrom == 0;
}

// The game's own files and folders, which no shot or state may write: the
// highscore tables (the run's, the player's, and the working directory's of
// earlier versions), the settings files (the run's and the player's), the
// replays and the folders the pictures load from.
void ProtectGameFiles(const std::string& settings) {
    namespace Run = Display::Run;
    const System::PlayerFolders player = System::PlayerFoldersOf();
    const std::string table(Morvek::ScorePlace::kTableName);
    Run::ProtectFile(Morvek::scorefile);
    Run::ProtectFile(table);
    if (!player.data.empty()) {
        Run::ProtectFile((player.data / table).string());
    }
    Run::ProtectFile(settings);
    Run::ProtectFile(Settings::FileFor({"", false, player.config}));
    Run::ProtectFolder(ReplayFolder().string());
    std::set<std::string> folders;
    for (const auto& row : Morvek::catalogue) {
        const std::filesystem::path picture = System::PathOf(Morvek::MediaPath(row.file));
        std::error_code ec;
        if (std::filesystem::is_regular_file(picture, ec)) {
            folders.insert(picture.parent_path().string());
        }
    }
    for (const auto& folder : folders) {
        Run::ProtectFolder(folder.empty() ? "." : folder);
    }
}

// Verification alone: nothing else of the command line may reach the run.
int VerifyRecording(const CommandLine& line, int argc) {
    namespace Verify = Program::Verify;
    std::string json;
    std::string reason = "--verify takes no other option";
    const int status =
        argc == 3 ? Verify::Run(line.verify, kVersion, json, reason) : Verify::kBadCommandLine;
    if (status == Verify::kVerified) {
        std::cout << json << '\n' << std::flush;
    } else {
        std::cerr << "morvek: verify: " << reason << '\n';
    }
    return status;
}

// The page loads its whole storage at every visit: it keeps a few replays
// only, whatever settings.ini allows.
#ifdef __EMSCRIPTEN__
constexpr std::uint32_t kMostReplaysKept = 10;
constexpr std::uint32_t kFinishMs = 0; // the browser's answers come only once the run is over
#else
constexpr std::uint32_t kMostReplaysKept = Settings::kMaxReplaysKept;
constexpr std::uint32_t kFinishMs = 2000;
#endif

// `recording` is the session's: the kept replay or --record's file.
void StartOnline(const std::filesystem::path& recording) {
    // A run whose table is in memory (a script's) keeps its outbox beside
    // its recording.
    std::filesystem::path data = DataFolder();
    if (data.empty() && !recording.empty()) {
        data = recording.parent_path().empty() ? "." : recording.parent_path();
    }
    Program::Online::Start(
        {Settings::Leaderboard(), data, recording, ReplayFolder(), Settings::Stored().playerName});
}

[[noreturn]] void RunGame(const std::filesystem::path& recording) {
    StartOnline(recording);
    Program::Play();
    Display::Run::End(Display::Run::EndAsked().value_or(0));
}

} // namespace

int main(int argc, char** argv) {
    namespace Run = Display::Run;
    System::AttachConsole();
    CommandLine line;
    if (auto bad = Parse(System::Arguments(argc, argv), line); !bad.empty()) {
        std::cerr << "morvek: " << bad << '\n' << Usage();
        return 2;
    }
    if (line.help) {
        std::cout << Usage();
        return 0;
    }
    if (line.version) {
        std::cout << "morvek " << kVersion << '\n';
        return 0;
    }
    if (!line.verify.empty()) {
        return VerifyRecording(line, argc);
    }
    if (!line.leaderboard.empty() && line.record.empty() && !KeepsReplay(line)) {
        std::cerr << "morvek: --leaderboard sends the session's recording: in a run that a "
                     "script, the autopilot or --headless drives, give --record FILE too\n";
        return 2;
    }
    if (line.watchFrom > 0 && line.script.empty()) {
        std::cerr << "morvek: --watch-from needs the recording to watch (--script FILE)\n";
        return 2;
    }
    std::string error;
    // Found out now rather than after a whole game that can't be saved.
    if (line.scores && !Morvek::ScoreFile::CheckPath(Morvek::scorefile, error)) {
        std::cerr << "morvek: --scores " << Quote(Morvek::scorefile, Text::kPathShown) << ": "
                  << Text::Printable(error, 4 * Text::kPathShown) << '\n';
        return 2;
    }
    namespace Place = Morvek::ScorePlace;
    Place::Use(Place::Choose({line.scores ? Morvek::scorefile : "", line.autopilot,
                              Place::InBuildTree(System::ExecutableFolder()),
                              System::PlayerFoldersOf().data}));
    Run::SetCleanup([] {
        Program::Online::Finish(kFinishMs);
        Settings::Flush();
        Place::Finish();
    });
    const bool scripted = !line.script.empty() || line.autopilot;
    const std::string settings =
        Settings::FileFor({line.settings, scripted, System::PlayerFoldersOf().config});
    Settings::StartRun(settings, line.window, line.mute);
    Settings::UseLeaderboard(line.leaderboard);
    // Known before the script is read, so its lines that would write them are refused.
    ProtectGameFiles(settings);
    if (!line.script.empty() && !Run::LoadScript(line.script, error)) {
        std::cerr << "morvek: " << error << '\n';
        return 2;
    }
    if (!Settings::StartFromScript(Run::ScriptOptions(),
                                   line.script == "-" ? "standard input" : line.script, error)) {
        std::cerr << "morvek: " << error << '\n';
        return 2;
    }
    if (std::string looked; !Morvek::MediaFolderFound(looked)) {
        std::cerr << "morvek: no Media folder with the pictures (looked in " << looked << ")\n";
        return 2;
    }
    if (!line.record.empty() && !Run::SetRecord(line.record, error)) {
        std::cerr << "morvek: cannot write the recording " << Quote(line.record, Text::kPathShown)
                  << ": " << error << '\n';
        return 2;
    }
    if (!line.record.empty()) {
        Settings::RecordStart();
    }
    if (std::string why; !line.trace.empty() && !Morvek::WaitTrace::Start(line.trace, why)) {
        std::cerr << "morvek: cannot write the trace " << Text::Quote(line.trace, Text::kPathShown)
                  << ": " << why << '\n';
        return 2;
    }
    Run::SetHeadless(line.headless);
    if (line.headless) {
        Run::StopOnSignals();
    }
    Run::SetStateWriter(StateDump::WriteState);
    if (line.watchFrom > 0) {
        Program::Watch::Start(line.watchFrom);
    }
    if (line.autopilot) {
        Program::StartAutopilot(line.pilot);
        if (!line.script.empty()) {
            Run::SetKeepFrames(true); // the script may take pictures
        }
    }
    if (line.headless) {
        RunGame(System::PathOf(line.record));
    }
    Display::Host::Configure(line.window);
    if (!Display::Host::Start(error)) {
        std::cerr << "morvek: no display can be opened (" << error << "); try --headless\n";
        return 3;
    }
    Sound::Start(line.mute);
    Sound::OnMuteSwitched(
        [](bool muted) { Settings::Change([muted](Settings::Values& v) { v.sound = !muted; }); });
    std::filesystem::path recording = System::PathOf(line.record);
    if (KeepsReplay(line) && !ReplayFolder().empty()) {
        recording = Program::Replays::Start(
            ReplayFolder(), std::min(Settings::Stored().replaysKept, kMostReplaysKept),
            std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
    }
#ifdef __EMSCRIPTEN__
    StartOnline(recording);
    Program::PlayInPage();
    return 0;
#else
    RunGame(recording);
#endif
}
