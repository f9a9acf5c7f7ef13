// Whole runs of the program: a new game chosen in the menu, started at a boss
// fight from the command line, played by a script and checked through the
// state it dumps. Each run works in a directory of its own, so no highscore
// file is touched.
#include <gtest/gtest.h>

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kGame = "morvek.exe";
#else
constexpr const char* kGame = "morvek";
#endif

// Clicks New game; the fight starts about 60 ms in, a tick every 30 ms.
constexpr const char* kNewGame = "0 mouse move 175 175\n"
                                 "40 mouse down left\n"
                                 "60 mouse up left\n";

// Runs the game on `script` from the build directory's pictures; returns the
// dumps named in it, in order.
std::vector<std::string> Play(const std::string& options, const std::string& script, int dumps) {
    const fs::path build = fs::current_path();
    const fs::path game = build / kGame;
    if (!fs::exists(game) || !fs::exists(build / "Media")) {
        return {};
    }
    // A folder of its own, so runs of the suite side by side never meet.
    const TestSupport::ScopedTempDir scratch("morvek-boss");
    const fs::path& dir = scratch.path;
#ifdef _WIN32
    fs::copy(build / "Media", dir / "Media"); // links need rights players rarely have
#else
    fs::create_directory_symlink(build / "Media", dir / "Media");
#endif
    std::string text = kNewGame + script;
    for (int i = 1; i <= dumps; ++i) {
        const std::string marker = "@" + std::to_string(i);
        text.replace(text.find(marker), marker.size(), std::to_string(i)); // the run's own folder
    }
    std::ofstream(dir / "run.txt") << text;
#ifdef _WIN32
    const std::string command = "cd /d \"" + dir.string() + "\" && \"" + game.string() +
                                "\" --headless " + options + " --script run.txt >NUL 2>&1";
#else
    const std::string command = "cd '" + dir.string() + "' && '" + game.string() + "' --headless " +
                                options + " --script run.txt >/dev/null 2>&1";
#endif
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> states;
    for (int i = 1; i <= dumps; ++i) {
        std::stringstream s;
        s << std::ifstream(dir / std::to_string(i)).rdbuf();
        states.push_back(s.str());
    }
    return states;
}

bool Has(const std::string& state, const std::string& part) {
    return state.find(part) != std::string::npos;
}

#define PLAY_OR_SKIP(states, options, script, dumps)                                               \
    const auto states = Play(options, script, dumps);                                              \
    if (states.empty()) {                                                                          \
        GTEST_SKIP() << "the game and its pictures are not built here";                            \
    }

} // namespace

TEST(BossRun, WindGodFromLevelOne) {
    PLAY_OR_SKIP(s, "--level 1 --boss",
                 "200 state @1\n"
                 "5700 state @2\n" // past the first 181 ticks: the storm phase
                 "5800 key down 0x27\n"
                 "9000 state @3\n" // rammed: the story waits for Enter
                 "9100 key down 0x0D\n"
                 "9200 key up 0x0D\n"
                 "9300 key up 0x27\n"
                 "9600 state @4\n"
                 "9700 close\n",
                 4);
    // Only the boss, at home, with the Normal health; no wave was fought.
    EXPECT_TRUE(Has(s[0], "\"level\":1,"));
    EXPECT_TRUE(Has(s[0], "\"enemies\":[{\"slot\":1,\"type\":10,\"path\":10,"));
    EXPECT_TRUE(Has(s[0], "\"health\":10000,"));
    EXPECT_TRUE(Has(s[0], "\"schip\":{\"x\":60.000,\"y\":350.000,"));
    EXPECT_TRUE(Has(s[1], "{\"slot\":1,\"type\":10,\"path\":0,\"x\":670.000,\"y\":346.000,"));
    EXPECT_TRUE(Has(s[2], "\"enemies\":[]"));
    EXPECT_TRUE(Has(s[2], "\"level\":1,"));
    // Level 2 begins with its waves.
    EXPECT_TRUE(Has(s[3], "\"level\":2,"));
    EXPECT_TRUE(Has(s[3], "{\"slot\":3,\"type\":4,"));
}

TEST(BossRun, IceQueenFromLevelTwo) {
    PLAY_OR_SKIP(s, "--level 2 --boss",
                 "200 state @1\n"
                 "5700 state @2\n" // the shooting phase
                 "5800 key down 0x27\n"
                 "9000 key down 0x0D\n"
                 "9200 state @3\n",
                 3);
    EXPECT_TRUE(Has(s[0], "\"level\":2,"));
    EXPECT_TRUE(Has(s[0], "\"enemies\":[{\"slot\":1,\"type\":11,\"path\":0,\"x\":900.000,"
                          "\"y\":350.000,\"health\":10000,"));
    EXPECT_TRUE(Has(s[1], "{\"slot\":1,\"type\":11,\"path\":11,"));
    EXPECT_FALSE(Has(s[1], "\"bullets\":0,"));
    EXPECT_TRUE(Has(s[2], "\"level\":3,"));
    EXPECT_TRUE(Has(s[2], "\"returnmenu\":false"));
}

TEST(BossRun, DragonKingFromLevelThree) {
    PLAY_OR_SKIP(s, "--level 3 --boss",
                 "200 state @1\n"
                 "300 key down 0x27\n"
                 "5000 state @2\n" // rammed: the closing story
                 "5100 key down 0x0D\n"
                 "5600 state @3\n",
                 3);
    EXPECT_TRUE(Has(s[0], "\"level\":3,"));
    EXPECT_TRUE(Has(s[0], "\"enemies\":[{\"slot\":1,\"type\":13,\"path\":13,\"x\":900.000,"));
    EXPECT_TRUE(Has(s[0], "\"health\":100000,"));
    EXPECT_TRUE(Has(s[1], "\"enemies\":[]"));
    EXPECT_TRUE(Has(s[1], "\"returnmenu\":false"));
    // A won game goes on to the name entry.
    EXPECT_TRUE(Has(s[2], "\"title\":\"Game Over - Save\""));
    EXPECT_TRUE(Has(s[2], "\"level\":3,"));
}
