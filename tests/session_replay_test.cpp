// The kept sessions (recordings/sessions/*.txt) cover what a single won game
// does not: games lost in every level and in boss fights, give-ups, pauses,
// a lost focus, several games in one session, practice starts, every screen,
// each difficulty and speed, names saved. Each is played by the built game
// and must pass through the stored states, leave the stored table and make
// exactly the stored waits (clock, kind, milliseconds, mode, the random
// generator's state). A change to the game's control flow that keeps every
// one of them keeps the game. MORVEK_REPLAY_UPDATE=1 stores them afresh, on
// purpose only.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path Sessions() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings" / "sessions";
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// FNV-1a, running over the trace so that a stored line vouches for all before it.
std::uint64_t Mix(std::uint64_t hash, const std::string& text) {
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 0x100000001b3ull;
    }
    return (hash ^ '\n') * 0x100000001b3ull;
}
constexpr std::uint64_t kHashStart = 0xcbf29ce484222325ull;

std::string Hex(std::uint64_t value) {
    std::ostringstream out;
    out << std::hex << value;
    return out.str();
}

// Every this many waits the trace's line and running hash are stored.
constexpr std::size_t kTraceEvery = 100;

// What a session leaves, in the form its .expected file keeps.
std::string Outcome(const fs::path& script) {
    std::string args;
    for (const std::string& line : Lines(ReadText(script))) {
        if (line.rfind("# args:", 0) == 0) {
            args = line.substr(7);
        }
    }
    const TestSupport::ScopedTempDir dir("morvek-session");
    const fs::path build = fs::current_path();
    fs::create_directory_symlink(build / "Media", dir.path / "Media");
    const std::string command = "cd '" + dir.path.string() + "' && timeout -s KILL 300 '" +
                                (build / "morvek").string() +
                                "' --headless --scores table.txt --trace trace.txt --script '" +
                                script.string() + "' " + args + " >/dev/null 2>err.txt";
    const int raw = std::system(command.c_str());
    std::ostringstream out;
    out << "exit " << (WIFEXITED(raw) ? WEXITSTATUS(raw) : -1) << '\n';
    std::vector<fs::path> states;
    for (const auto& entry : fs::directory_iterator(dir.path)) {
        if (entry.path().extension() == ".json") {
            states.push_back(entry.path());
        }
    }
    std::sort(states.begin(), states.end());
    for (const fs::path& state : states) {
        std::string json = ReadText(state);
        json.erase(std::remove(json.begin(), json.end(), '\n'), json.end());
        out << "state " << state.filename().string() << ' ' << json << '\n';
    }
    out << "table " << Hex(Mix(kHashStart, ReadText(dir.path / "table.txt"))) << '\n';
    const std::vector<std::string> trace = Lines(ReadText(dir.path / "trace.txt"));
    std::uint64_t hash = kHashStart;
    std::set<int> modes;
    for (std::size_t i = 0; i < trace.size(); ++i) {
        hash = Mix(hash, trace[i]);
        std::istringstream words(trace[i]);
        std::string clock, kind, ms;
        if (int mode = -1; words >> clock >> kind >> ms >> mode) {
            modes.insert(mode);
        }
        if ((i + 1) % kTraceEvery == 0 || i + 1 == trace.size()) {
            out << "wait " << i + 1 << ' ' << Hex(hash) << ' ' << trace[i] << '\n';
        }
    }
    out << "waits " << trace.size() << '\n' << "modes";
    for (const int mode : modes) {
        out << ' ' << mode;
    }
    out << '\n';
    return out.str();
}

std::string Header(const fs::path& script) {
    return "# What " + script.filename().string() +
           " leaves: exit status, states, the table's hash and every\n"
           "# " +
           std::to_string(kTraceEvery) +
           "th wait with the running hash of all waits. Written by make replay-update.\n";
}

std::string WithoutComments(const std::string& text) {
    std::string kept;
    for (const std::string& line : Lines(text)) {
        if (!line.empty() && line[0] != '#') {
            kept += line + '\n';
        }
    }
    return kept;
}

TEST(Sessions, EachReplaysToItsStoredStatesTableAndWaits) {
    const fs::path build = fs::current_path();
    ASSERT_TRUE(fs::exists(build / "morvek") && fs::exists(build / "Media"))
        << "run from the build folder, with the game and its pictures built";
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(Sessions())) {
        if (entry.path().extension() == ".txt") {
            scripts.push_back(entry.path());
        }
    }
    std::sort(scripts.begin(), scripts.end());
    ASSERT_GE(scripts.size(), 6u);
    // The kept autopilot game wins every fight and reads every story.
    scripts.push_back(Sessions().parent_path() / "autopilot.txt");
    const bool update = std::getenv("MORVEK_REPLAY_UPDATE") != nullptr;
    for (const fs::path& script : scripts) {
        SCOPED_TRACE(script.filename().string());
        const std::string actual = Outcome(script);
        const fs::path expected = Sessions() / script.filename().replace_extension(".expected");
        if (update) {
            std::ofstream(expected, std::ios::binary) << Header(script) << actual;
            continue;
        }
        const std::vector<std::string> want = Lines(WithoutComments(ReadText(expected)));
        const std::vector<std::string> got = Lines(actual);
        ASSERT_FALSE(want.empty()) << "no " << expected.filename() << ": make replay-update";
        const std::size_t n = std::min(want.size(), got.size());
        std::size_t first = 0;
        while (first < n && want[first] == got[first]) {
            ++first;
        }
        if (first < n || want.size() != got.size()) {
            const auto shown = [](const std::vector<std::string>& lines, std::size_t i) {
                return i < lines.size() ? lines[i].substr(0, 400) : std::string("(nothing)");
            };
            ADD_FAILURE() << "differs first at line " << first + 1
                          << " of the outcome\n  stored: " << shown(want, first)
                          << "\n  now:    " << shown(got, first);
        }
    }
}

// The net is only as good as its reach: between them the sessions must end
// games in each level and in a boss fight, and pass every mode.
TEST(Sessions, CoverTheWaysAGameEnds) {
    std::string all;
    for (const auto& entry : fs::directory_iterator(Sessions())) {
        if (entry.path().extension() == ".expected") {
            all += ReadText(entry.path());
        }
    }
    ASSERT_FALSE(all.empty());
    for (const std::string_view args :
         {"--level 2", "--level 3", "--level 1 --boss", "--level 3 --boss"}) {
        bool found = false;
        for (const auto& entry : fs::directory_iterator(Sessions())) {
            if (entry.path().extension() == ".txt") {
                found = found || ReadText(entry.path()).find("# args: " + std::string(args)) !=
                                     std::string::npos;
            }
        }
        EXPECT_TRUE(found) << "no session started with " << args;
    }
    // Each session stores the modes its waits passed: menu 0 to name entry 10.
    std::set<int> seen;
    std::istringstream lines(all);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("modes", 0) == 0) {
            std::istringstream words(line.substr(5));
            for (int mode = 0; words >> mode;) {
                seen.insert(mode);
            }
        }
    }
    for (int mode = 0; mode <= 10; ++mode) {
        EXPECT_TRUE(seen.count(mode)) << "no session waits in mode " << mode;
    }
}

} // namespace
