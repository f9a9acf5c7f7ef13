// Recordings carry the options a run started from, so a game played on Easy
// and Slow replays the same on any machine.
#include "display/Run.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
namespace Run = Display::Run;

namespace {

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(OptionLines, LeadAtTimeZeroAndReadBackAsWritten) {
    std::vector<Run::InputEvent> events;
    std::string error;
    ASSERT_TRUE(Run::ParseScript("0 option difficulty easy\n0 option speed slow # as played\n"
                                 "0 key down 0x20\n",
                                 "s", events, error))
        << error;
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(Run::FormatEvent(events[0]), "0 option difficulty easy");
    EXPECT_EQ(Run::FormatEvent(events[1]), "0 option speed slow");

    for (const char* bad : {"0 key down 0x20\n0 option speed slow\n", "5 option speed slow\n",
                            "0 option speed\n", "0 option speed slow fast\n"}) {
        events.clear();
        EXPECT_FALSE(Run::ParseScript(bad, "s", events, error)) << bad;
    }
    events.clear();
    EXPECT_FALSE(Run::ParseScript("0 key down 0x20\n0 option speed slow\n", "s", events, error));
    EXPECT_EQ(error.substr(0, 4), "s:2:") << error;

    // Two options that contradict each other are refused with the line named;
    // the same one given twice alike contradicts nothing.
    events.clear();
    EXPECT_FALSE(Run::ParseScript("0 option difficulty easy\n0 option speed fast\n"
                                  "0 option speed slow\n",
                                  "s", events, error));
    EXPECT_EQ(error, "s:3: option 'speed' is 'slow' here but 'fast' on line 2");
    events.clear();
    EXPECT_FALSE(Run::ParseScript("0 option difficulty easy # as played\n"
                                  "0 option difficulty hard\n",
                                  "s", events, error));
    EXPECT_EQ(error, "s:2: option 'difficulty' is 'hard' here but 'easy' on line 1");
    events.clear();
    ASSERT_TRUE(Run::ParseScript("0 option speed slow\n0 option speed slow\n", "s", events, error))
        << error;
    EXPECT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].line, 2u);

    events.clear();
    ASSERT_TRUE(Run::ParseScript("0 option speed slow\n10 close\n", "s", events, error));
    Run::SetScript(events);
    ASSERT_EQ(Run::ScriptOptions().size(), 1u);
    EXPECT_EQ(Run::FormatEvent(Run::ScriptOptions()[0]), "0 option speed slow");
    Run::Reset();
    EXPECT_TRUE(Run::ScriptOptions().empty());
}

class Recorded : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        dir = TestSupport::MakeTempDir("morvek-recorded");
        for (const char* where : {"played", "replayed", "stripped"}) {
            fs::create_directories(dir / where);
            fs::create_directory_symlink(build / "Media", dir / where / "Media");
        }
        // The replaying machine prefers Hard and Fast: it must not matter.
        fs::create_directories(dir / "home" / ".config" / "morvek");
        std::ofstream(dir / "home" / ".config" / "morvek" / "settings.ini")
            << "difficulty = hard\nspeed = fast\n";
    }
    void TearDown() override {
        if (!dir.empty()) {
            fs::remove_all(dir);
        }
    }
    int Play(const std::string& where, const std::string& args) {
        const std::string command =
            "cd '" + (dir / where).string() + "' && HOME='" + (dir / "home").string() +
            "' XDG_CONFIG_HOME= timeout -s KILL 60 '" + (build / "morvek").string() +
            "' --headless " + args + " >/dev/null 2>said.txt";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    fs::path build, dir;
};

TEST_F(Recorded, AGameOnEasyAndSlowReplaysTheSameWithNoSettingsFile) {
    std::ofstream(dir / "played" / "easy.ini") << "difficulty = easy\nspeed = slow\n";
    // A new game, flown and fired for a while.
    std::ofstream(dir / "played" / "play.txt")
        << "600 mouse move 175 175\n800 mouse down left\n860 mouse up left\n"
           "1500 key down 0x20\n1600 key down 0x27\n4000 key up 0x27\n6000 state s.json\n"
           "6100 close\n";
    ASSERT_EQ(Play("played", "--settings easy.ini --script play.txt --record rec.txt"), 0)
        << Get(dir / "played" / "said.txt");
    const std::string recording = Get(dir / "played" / "rec.txt");
    ASSERT_EQ(recording.substr(0, 45), "0 option difficulty easy\n0 option speed slow\n");
    const std::string played = Get(dir / "played" / "s.json");
    EXPECT_NE(played.find("\"speed\":60,"), std::string::npos);

    std::ofstream(dir / "replayed" / "rec.txt") << recording;
    ASSERT_EQ(Play("replayed", "--script rec.txt"), 0) << Get(dir / "replayed" / "said.txt");
    EXPECT_EQ(Get(dir / "replayed" / "s.json"), played);

    // Without its option lines the same input plays another game.
    std::ofstream(dir / "stripped" / "rec.txt") << recording.substr(45);
    ASSERT_EQ(Play("stripped", "--script rec.txt"), 0);
    EXPECT_NE(Get(dir / "stripped" / "s.json"), played);
    EXPECT_NE(Get(dir / "stripped" / "s.json").find("\"speed\":30,"), std::string::npos);
}

TEST_F(Recorded, AnOptionTheGameDoesNotKnowStopsTheScript) {
    std::ofstream(dir / "played" / "odd.txt")
        << "# options\n0 option speed fast\n0 option difficulty extreme\n10 close\n";
    EXPECT_EQ(Play("played", "--script odd.txt"), 2);
    const std::string said = Get(dir / "played" / "said.txt");
    EXPECT_NE(said.find("morvek: odd.txt:3: no option 'difficulty extreme' (difficulty and speed"),
              std::string::npos)
        << said;
    // One as long as a line may be, with codes a terminal acts on, is shown
    // short and harmless.
    std::ofstream(dir / "played" / "odd.txt")
        << "0 option speed \a\033[2J" + std::string(3000, 'y') + "\n10 close\n";
    EXPECT_EQ(Play("played", "--script odd.txt"), 2);
    const std::string long_ = Get(dir / "played" / "said.txt");
    EXPECT_NE(long_.find("morvek: odd.txt:1: no option 'speed ??[2Jyyy"), std::string::npos)
        << long_;
    EXPECT_LT(long_.size(), 200u) << long_;
    EXPECT_EQ(long_.find('\033'), std::string::npos);
    EXPECT_EQ(long_.find('\a'), std::string::npos);
}

} // namespace
