// Recordings carry the options a run started from, so a game played on Easy
// and Slow replays the same on any machine.
#include "display/Run.h"
#include "game/Game.h"
#include "game/Rules.h"
#include "game/RunSettings.h"
#include "game/levels/Practice.h"
#include "game/screens/ScoreOption.h"
#include "game/screens/ScorePlace.h"
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
    const std::string header = "0 option rules " + std::to_string(Morvek::kRulesVersion) +
                               "\n0 option difficulty easy\n0 option speed slow\n"
                               "0 option practice off\n0 option score 1 %20 0\n";
    ASSERT_EQ(recording.substr(0, header.size()), header);
    const std::size_t input = recording.find("\n600 ") + 1;
    const std::string played = Get(dir / "played" / "s.json");
    EXPECT_NE(played.find("\"speed\":60,"), std::string::npos);

    std::ofstream(dir / "replayed" / "rec.txt") << recording;
    ASSERT_EQ(Play("replayed", "--script rec.txt"), 0) << Get(dir / "replayed" / "said.txt");
    EXPECT_EQ(Get(dir / "replayed" / "s.json"), played);

    // Without its option lines the same input plays another game.
    std::ofstream(dir / "stripped" / "rec.txt") << recording.substr(input);
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

namespace {

using Morvek::ScoreFile::Table;

TEST(OptionLines, PracticeStartsAndTableRowsTakeTheirWords) {
    std::vector<Run::InputEvent> events;
    std::string error;
    ASSERT_TRUE(Run::ParseScript("0 option practice level 3 boss\n0 option score 1 ROBOTIC 5000\n"
                                 "0 option score 2 A%20B 10\n0 option score 2 A%20B 10\n",
                                 "s", events, error))
        << error;
    EXPECT_EQ(Run::FormatEvent(events[0]), "0 option practice level 3 boss");
    EXPECT_EQ(Run::FormatEvent(events[2]), "0 option score 2 A%20B 10");
    // Rows are told apart by their place; one place given twice must agree.
    events.clear();
    EXPECT_FALSE(
        Run::ParseScript("0 option score 2 AB 10\n0 option score 2 AB 11\n", "s", events, error));
    EXPECT_EQ(error, "s:2: option 'score 2' is 'AB 11' here but 'AB 10' on line 1");
    for (const char* bad : {"0 option practice level 2 boss now\n", "0 option score 1\n",
                            "0 option score 1 A 2 3\n", "0 option rules 1 2\n"}) {
        events.clear();
        EXPECT_FALSE(Run::ParseScript(bad, "s", events, error)) << bad;
    }
}

TEST(OptionLines, ATableRowKeepsEveryByteOfItsName) {
    const std::array<std::array<char, 7>, 4> names{{
        {'R', 'O', 'B', 'O', 'T', 'I', 'C'},
        {' ', ' ', ' ', ' ', ' ', ' ', ' '},
        {'A', ' ', '#', '%', '\0', '\xff', ' '},
        {'\n', 'x', ' ', ' ', ' ', ' ', ' '},
    }};
    for (const auto& name : names) {
        const Morvek::Highscore entry{name, 4294967295u};
        const std::string line = Morvek::ScoreOption::Line(10, entry);
        EXPECT_EQ(line.find('#'), std::string::npos) << line; // no comment starts in it
        std::vector<Run::InputEvent> events;
        std::string error;
        ASSERT_TRUE(Run::ParseScript("0 option " + line + "\n", "s", events, error)) << error;
        Table table{};
        ASSERT_TRUE(Morvek::ScoreOption::Read(events[0].option.substr(6), table)) << line;
        EXPECT_EQ(table[10].name, name) << line;
        EXPECT_EQ(table[10].points, 4294967295u);
    }
    EXPECT_EQ(Morvek::ScoreOption::Line(1, {names[1], 0}), "score 1 %20 0");
    Table table{};
    for (const char* bad : {"0 A 1", "11 A 1", "1 ABCDEFGH 1", "1 A%2 1", "1 A%G0 1", "1 A -1",
                            "1 A 4294967296", "1 A", "1 A 1x"}) {
        EXPECT_FALSE(Morvek::ScoreOption::Read(bad, table)) << bad;
    }
}

TEST(OptionLines, PracticeStartsReadBackAsWritten) {
    for (const Morvek::PracticeChoice start :
         {Morvek::PracticeChoice{}, Morvek::PracticeChoice{2, false}, Morvek::PracticeChoice{3, true},
          Morvek::PracticeChoice{1, true}}) {
        const auto again = Morvek::PracticeFromName(Morvek::PracticeName(start));
        ASSERT_TRUE(again.has_value()) << Morvek::PracticeName(start);
        EXPECT_EQ(again->level, start.level);
        EXPECT_EQ(again->boss, start.boss);
    }
    EXPECT_EQ(Morvek::PracticeName({}), "off");
    for (const char* bad : {"on", "level 0", "level 4", "level 2 bosses", "level", "level x"}) {
        EXPECT_FALSE(Morvek::PracticeFromName(bad).has_value()) << bad;
    }
}

class ScriptStart : public ::testing::Test {
  protected:
    void TearDown() override {
        Game::options = {};
        Morvek::ScorePlace::Use({});
    }
    bool Start(const std::string& script, std::string& error) {
        std::vector<Run::InputEvent> events;
        if (!Run::ParseScript(script, "s", events, error)) {
            return false;
        }
        return Settings::StartFromScript(events, "s", error);
    }
};

TEST_F(ScriptStart, ARecordingBringsItsRulesPracticeAndTable) {
    std::string error;
    const std::string rules = "0 option rules " + std::to_string(Morvek::kRulesVersion) + "\n";
    ASSERT_TRUE(Start(rules + "0 option practice level 3 boss\n0 option score 1 ANNA 900\n"
                              "0 option score 3 BO 5\n",
                      error))
        << error;
    EXPECT_EQ(Game::options.practice.level, 3u);
    EXPECT_TRUE(Game::options.practice.boss);
    // The table is the recording's, kept in memory: no file is read or written.
    EXPECT_EQ(Morvek::ScorePlace::InUse(), Morvek::ScorePlace::Kind::Memory);
    Table table{};
    Morvek::ScorePlace::Read(table);
    EXPECT_EQ(std::string(table[1].name.data(), 4), "ANNA");
    EXPECT_EQ(table[1].points, 900u);
    EXPECT_EQ(table[2].points, 0u);
    EXPECT_EQ(table[3].points, 5u);

    EXPECT_FALSE(
        Start("0 option rules " + std::to_string(Morvek::kRulesVersion + 1) + "\n", error));
    EXPECT_EQ(error, "s:1: played by rules version " + std::to_string(Morvek::kRulesVersion + 1) +
                         "; this game plays version " + std::to_string(Morvek::kRulesVersion));
    for (const char* bad : {"0 option rules x\n", "0 option practice level 9\n",
                            "0 option score 12 A 1\n", "0 option colour red\n"}) {
        EXPECT_FALSE(Start(bad, error)) << bad;
        EXPECT_NE(error.find("no option"), std::string::npos) << error;
    }
}

TEST_F(Recorded, APracticeStartAndTheTableTravelWithTheRecording) {
    std::ofstream(dir / "played" / "table.txt") << "ANNA 900 BO 5";
    std::ofstream(dir / "played" / "play.txt")
        << "600 mouse move 175 175\n800 mouse down left\n860 mouse up left\n"
           "1500 key down 0x20\n3000 state s.json\n3100 close\n";
    ASSERT_EQ(Play("played", "--level 2 --scores table.txt --script play.txt --record rec.txt"), 0)
        << Get(dir / "played" / "said.txt");
    const std::string recording = Get(dir / "played" / "rec.txt");
    EXPECT_NE(recording.find("\n0 option practice level 2\n"), std::string::npos) << recording;
    EXPECT_NE(recording.find("\n0 option score 1 ANNA 900\n0 option score 2 BO 5\n"),
              std::string::npos)
        << recording;
    const std::string played = Get(dir / "played" / "s.json");
    EXPECT_NE(played.find("\"level\":2,"), std::string::npos) << played;

    // Another machine, another table, no --level: the same game, and its
    // table stays as it was.
    std::ofstream(dir / "replayed" / "rec.txt") << recording;
    std::ofstream(dir / "replayed" / "mine.txt") << "ZED 1";
    ASSERT_EQ(Play("replayed", "--scores mine.txt --script rec.txt"), 0)
        << Get(dir / "replayed" / "said.txt");
    EXPECT_EQ(Get(dir / "replayed" / "s.json"), played);
    EXPECT_EQ(Get(dir / "replayed" / "mine.txt"), "ZED 1");
}

} // namespace
