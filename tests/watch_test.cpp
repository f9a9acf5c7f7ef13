// morvek --watch-from N: a recording's game N watched. Only the pace may
// differ from a plain replay: the states on the way are the same, and the
// watched game ends in the state the verifier vouches for.
#include "support/JsonText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The kept two games (the second begins at 26200 and is left for the menu
// at 34100) with states taken in the first, in the second, on its game-over
// screen, and back at the menu.
std::string WithStates() {
    const std::map<std::uint64_t, std::string> states{{10000, "first.json"},
                                                      {26300, "second-begun.json"},
                                                      {29000, "second.json"},
                                                      {33000, "second-over.json"},
                                                      {35050, "menu.json"}};
    std::istringstream in(
        Get(fs::path(__FILE__).parent_path().parent_path() / "recordings" / "two-games.txt"));
    std::string text;
    auto next = states.begin();
    for (std::string line; std::getline(in, line);) {
        const bool event = !line.empty() && std::isdigit(static_cast<unsigned char>(line[0]));
        for (; event && next != states.end() && std::stoull(line) > next->first; ++next) {
            text += std::to_string(next->first) + " state " + next->second + "\n";
        }
        text += line + "\n";
    }
    return text;
}

class Watching : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        fs::create_directory(dir);
    }
    // The game's exit status, what it printed in `out` and `said`, and the
    // states it wrote, by name; the folder is emptied for the next run.
    int Run(const std::string& args) {
        const std::string command = "cd '" + dir.string() + "' && timeout -s KILL 120 '" +
                                    (build / "morvek").string() + "' " + args +
                                    " >../out.txt 2>../said.txt";
        const int raw = std::system(command.c_str());
        out = Get(box.path / "out.txt");
        said = Get(box.path / "said.txt");
        states.clear();
        for (const auto& file : fs::directory_iterator(dir)) {
            states[file.path().filename().string()] = Get(file.path());
            fs::remove(file.path());
        }
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    void Write(const std::string& text) { std::ofstream(box.path / "rec.txt") << text; }
    // The verifier's SHA-256 of each game's end state, from game 1.
    std::vector<std::string> VerifiedStates() {
        EXPECT_EQ(Run("--verify ../rec.txt"), 0) << said;
        std::vector<std::string> found;
        for (const auto& game : TestSupport::VerifiedGames(out)) {
            found.push_back(game.at("state"));
        }
        return found;
    }

    fs::path build;
    const TestSupport::ScopedTempDir box{"morvek-watch"};
    const fs::path dir = box.path / "run"; // the game's working folder
    std::string out, said;
    std::map<std::string, std::string> states;
};

TEST_F(Watching, AWatchPassesThroughAPlainReplaysStatesToTheVerifiersEnd) {
    Write(WithStates());
    const auto verified = VerifiedStates();
    ASSERT_EQ(verified.size(), 2u) << out;
    ASSERT_EQ(Run("--headless --script ../rec.txt"), 0) << said;
    const auto plain = states;
    ASSERT_EQ(plain.size(), 5u);

    ASSERT_EQ(Run("--headless --watch-from 2 --script ../rec.txt"), 0) << said;
    EXPECT_EQ(out, "\nwatching game 2 from its New Game\nwatched game 2: score 20, lost, state " +
                       verified[1] + "\n");
    // Over once the menu is back: the state taken there is never reached.
    auto before = plain;
    before.erase("menu.json");
    EXPECT_EQ(states, before);

    // The first game's watch ends before the second begins.
    ASSERT_EQ(Run("--headless --watch-from 1 --script ../rec.txt"), 0) << said;
    EXPECT_EQ(out, "\nwatching game 1 from its New Game\nwatched game 1: score 10, lost, state " +
                       verified[0] + "\n");
    EXPECT_EQ(states, (std::map<std::string, std::string>{{"first.json", plain.at("first.json")}}));
}

TEST_F(Watching, ARecordingThatNeverEndsTheWatchedGameFailsTheWatch) {
    Write(WithStates());
    EXPECT_EQ(Run("--headless --watch-from 3 --script ../rec.txt"), 1);
    EXPECT_EQ(said, "morvek: the recording ends before its game 3 begins\n");
    EXPECT_EQ(out, "\n");

    // Cut off in the second game, a few seconds after its New Game.
    const std::string whole = WithStates();
    Write(whole.substr(0, whole.find("29000 state")));
    EXPECT_EQ(Run("--headless --watch-from 2 --script ../rec.txt"), 1);
    EXPECT_EQ(said, "morvek: the recording ends before its game 2 ends\n");
    EXPECT_EQ(out, "\nwatching game 2 from its New Game\n");
}

TEST_F(Watching, TheCommandLineNamesAGameOfARecording) {
    Write(WithStates());
    for (const std::string bad : {"0", "-1", "two", "2x", "99999999999"}) {
        EXPECT_EQ(Run("--headless --watch-from " + bad + " --script ../rec.txt"), 2) << bad;
        EXPECT_NE(said.find("--watch-from takes a game's number from 1, not"), std::string::npos)
            << said;
    }
    EXPECT_EQ(Run("--headless --watch-from 2"), 2);
    EXPECT_NE(said.find("--watch-from needs the recording to watch"), std::string::npos) << said;
    EXPECT_TRUE(states.empty());
}

} // namespace
