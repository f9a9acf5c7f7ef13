// Where the highscores are kept: the player's folders by system variables,
// the build tree, --scores, the autopilot's own file, an older table taken
// into the data folder, and a data folder that can't be written.
#include "game/screens/ScorePlace.h"
#include "platform/Folders.h"
#include "platform/SafeFile.h"
#include "support/ScoreDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

using namespace Morvek;
using ScoreTests::Name;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope, or unsets it with nullopt.
class Env {
  public:
    Env(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* was = std::getenv(name)) {
            saved_ = was;
        }
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    ~Env() { saved_ ? ::setenv(name_, saved_->c_str(), 1) : ::unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(PlayerFolders, XdgVariablesThenHomeAndNothingWithoutEither) {
    Env home("HOME", "/home/ash");
    {
        Env config("XDG_CONFIG_HOME", std::nullopt), data("XDG_DATA_HOME", std::nullopt);
        const auto f = System::PlayerFoldersOf();
        EXPECT_EQ(f.config, fs::path("/home/ash/.config/morvek"));
        EXPECT_EQ(f.data, fs::path("/home/ash/.local/share/morvek"));
    }
    {
        Env config("XDG_CONFIG_HOME", "/cfg"), data("XDG_DATA_HOME", "/var/games");
        const auto f = System::PlayerFoldersOf();
        EXPECT_EQ(f.config, fs::path("/cfg/morvek"));
        EXPECT_EQ(f.data, fs::path("/var/games/morvek"));
    }
    {
        // Relative or empty values would depend on where the game started.
        Env config("XDG_CONFIG_HOME", "cfg"), data("XDG_DATA_HOME", "");
        const auto f = System::PlayerFoldersOf();
        EXPECT_EQ(f.config, fs::path("/home/ash/.config/morvek"));
        EXPECT_EQ(f.data, fs::path("/home/ash/.local/share/morvek"));
    }
    Env noHome("HOME", std::nullopt), config("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_TRUE(System::PlayerFoldersOf().config.empty());
}

TEST(ScorePlaceChoice, ScoresWinsThenAutopilotThenBuildTreeThenDataFolder) {
    const fs::path data = "/home/ash/.local/share/morvek";
    using K = ScorePlace::Kind;
    auto is = [](ScorePlace::Place p, K kind, const std::string& file) {
        return p.kind == kind && p.file == file;
    };
    EXPECT_TRUE(is(ScorePlace::Choose({"/t/s.txt", true, true, data}), K::File, "/t/s.txt"));
    EXPECT_TRUE(is(ScorePlace::Choose({"", true, true, data}), K::Temporary, ""));
    EXPECT_TRUE(is(ScorePlace::Choose({"", false, true, data}), K::File, "myscore.txt"));
    EXPECT_TRUE(is(ScorePlace::Choose({"", false, false, data}), K::DataFolder,
                   (data / "myscore.txt").string()));
    EXPECT_TRUE(is(ScorePlace::Choose({"", false, false, ""}), K::File, "myscore.txt"));
}

class PlaceDir : public ScoreTests::ScoreDir {
  protected:
    void SetUp() override {
        ScoreDir::SetUp();
        before = fs::current_path();
        fs::create_directories(dir / "play");
        fs::current_path(dir / "play");
    }
    void TearDown() override {
        fs::current_path(before);
        ScorePlace::Use({ScorePlace::Kind::File, saved});
        ScoreDir::TearDown();
    }
    bool SaveAs(std::string_view name, std::uint32_t result, std::string* said = nullptr) {
        ScoreFile::Table got{};
        std::string error;
        testing::internal::CaptureStderr();
        const bool ok = ScorePlace::Save(Name(name), result, got, error);
        const std::string out = testing::internal::GetCapturedStderr();
        if (said != nullptr) {
            *said = out;
        }
        return ok;
    }
    std::string First() {
        ScoreFile::Table t{};
        ScorePlace::Read(t);
        return ScoreFile::Shown(t[1].name) + " " + std::to_string(t[1].points);
    }
    fs::path before;
};

TEST_F(PlaceDir, BuildTreeIsTheMarkerNotAMediaFolder) {
    fs::create_directories(dir / "bin" / "Media");
    EXPECT_FALSE(ScorePlace::InBuildTree(dir / "bin"));
    fs::create_directories("Media");
    EXPECT_FALSE(ScorePlace::InBuildTree(fs::current_path()));
    Put(dir / "bin" / "morvek.build-tree", "");
    EXPECT_TRUE(ScorePlace::InBuildTree(dir / "bin"));
    EXPECT_FALSE(ScorePlace::InBuildTree(""));
}

TEST_F(PlaceDir, DataFolderIsMadeAtTheFirstSaveAndTakesInTheOldTableOnce) {
    const fs::path data = dir / "data" / "morvek";
    ScorePlace::Use(ScorePlace::Choose({"", false, false, data}));
    EXPECT_EQ(First(), "        0") << "no table anywhere";
    EXPECT_FALSE(fs::exists(dir / "data")) << "reading makes no folder";

    Put("myscore.txt", std::string("OLD    500"));
    EXPECT_EQ(First(), "OLD     500") << "the old table shows before the first save";
    std::string said;
    ASSERT_TRUE(SaveAs("NEW", 700, &said));
    EXPECT_NE(said.find("kept in " + (data / "myscore.txt").string()), std::string::npos) << said;
    EXPECT_EQ(Get(data / "myscore.txt").substr(0, 22), "NEW    700 OLD    500 ");
    EXPECT_EQ(Get("myscore.txt"), std::string("OLD    500")) << "the old table stays as it was";

    ASSERT_TRUE(SaveAs("TWO", 600, &said));
    EXPECT_EQ(said, "") << "said once only";
    EXPECT_EQ(Get(data / "myscore.txt").substr(0, 33), "NEW    700 TWO    600 OLD    500 ");
}

namespace {

// A game's first save to the data folder, in a process of its own whose
// stderr goes to `said`; with a `gate` it starts when the parent closes it.
pid_t SaveInChild(const fs::path& data, const std::string& name, std::uint32_t result,
                  const fs::path& said, const int* gate = nullptr) {
    const pid_t pid = fork();
    if (pid != 0) {
        return pid;
    }
    const int out = ::open(said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, 2);
    ScorePlace::Use(ScorePlace::Choose({"", false, false, data}));
    if (gate != nullptr) {
        close(gate[1]);
        char c;
        (void)!read(gate[0], &c, 1);
    }
    ScoreFile::Table got{};
    std::string error;
    _exit(ScorePlace::Save(Name(name), result, got, error) ? 0 : 1);
}

bool Exited(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST_F(PlaceDir, OldTableIsTakenInUnderTheSavesLock) {
    const fs::path data = dir / "data" / "morvek";
    fs::create_directories(data);
    Put("myscore.txt", std::string("OLD    500 OLDER  400"));
    {
        // Another game is in the middle of its save: nothing may be written
        // to the data folder until it is done.
        // (The game starts before the lock is taken, so it holds no copy of it.)
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        const pid_t game = SaveInChild(data, "NEW", 700, dir / "said", gate);
        ASSERT_GE(game, 0);
        close(gate[0]);
        std::optional<SafeFile::Lock> held(std::in_place);
        std::string error;
        ASSERT_TRUE(held->Acquire((data / "myscore.txt.lock").string(), 1000, {}, error));
        close(gate[1]);
        for (int wait = 0; wait < 500 && Get(dir / "said").find("waiting") == std::string::npos;
             ++wait) {
            usleep(10 * 1000);
        }
        ASSERT_NE(Get(dir / "said").find("waiting"), std::string::npos);
        EXPECT_FALSE(fs::exists(data / "myscore.txt"));
        held.reset();
        ASSERT_TRUE(Exited(game)) << Get(dir / "said");
    }
    EXPECT_EQ(Get(data / "myscore.txt").substr(0, 33), "NEW    700 OLD    500 OLDER  400 ");
    EXPECT_NE(Get(dir / "said").find("kept in"), std::string::npos) << Get(dir / "said");

    // Several first saves at once: one takes the old table in and says so,
    // and every result and old entry is in the table.
    fs::remove_all(dir / "data");
    constexpr int kGames = 6;
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> games;
    for (int g = 0; g < kGames; ++g) {
        games.push_back(SaveInChild(data, std::string(1, static_cast<char>('K' + g)),
                                    100 + static_cast<std::uint32_t>(g),
                                    dir / ("said" + std::to_string(g)), gate));
    }
    close(gate[0]);
    close(gate[1]);
    int told = 0;
    for (int g = 0; g < kGames; ++g) {
        const bool exited = Exited(games[static_cast<std::size_t>(g)]);
        const std::string said = Get(dir / ("said" + std::to_string(g)));
        EXPECT_TRUE(exited) << said;
        told += said.find("kept in") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(told, 1);
    EXPECT_EQ(Get(data / "myscore.txt").substr(0, 88),
              "OLD    500 OLDER  400 P      105 O      104 N      103 M      102 L      101 "
              "K      100 ");
}

TEST_F(PlaceDir, DanglingLinkInTheDataFolderTakesInTheOldTableWhereItPoints) {
    const fs::path data = dir / "data" / "morvek";
    fs::create_directories(data);
    fs::create_directories(dir / "elsewhere");
    fs::create_symlink("../../elsewhere/scores", data / "myscore.txt");
    Put("myscore.txt", std::string("OLD    500"));
    ScorePlace::Use(ScorePlace::Choose({"", false, false, data}));
    std::string said;
    ASSERT_TRUE(SaveAs("NEW", 700, &said));
    EXPECT_NE(said.find("kept in"), std::string::npos) << said;
    EXPECT_TRUE(fs::is_symlink(data / "myscore.txt"));
    EXPECT_EQ(Get(dir / "elsewhere" / "scores").substr(0, 22), "NEW    700 OLD    500 ");
    EXPECT_EQ(Get("myscore.txt"), std::string("OLD    500"));
}

TEST_F(PlaceDir, UnwritableDataFolderKeepsTheTableInMemoryWithOneMessage) {
    // A file where the folder should be: no folder can be made, even for root.
    Put(dir / "data", "not a folder");
    ScorePlace::Use(ScorePlace::Choose({"", false, false, dir / "data" / "morvek"}));
    std::string said;
    ASSERT_TRUE(SaveAs("ASH", 300, &said));
    EXPECT_NE(said.find("kept in memory"), std::string::npos) << said;
    EXPECT_NE(said.find((dir / "data" / "morvek").string()), std::string::npos) << said;
    EXPECT_EQ(ScorePlace::InUse(), ScorePlace::Kind::Memory);
    ASSERT_TRUE(SaveAs("OWL", 400, &said));
    EXPECT_EQ(said, "");
    ScoreFile::Table t{};
    ScorePlace::Read(t);
    EXPECT_EQ(ScoreFile::Format(t).substr(0, 22), "OWL    400 ASH    300 ");
    EXPECT_FALSE(fs::exists("myscore.txt"));
}

TEST_F(PlaceDir, AutopilotTableIsATemporaryFileRemovedAtTheEnd) {
    Env tmp("TMPDIR", (dir / "tmp").string());
    fs::create_directories(dir / "tmp");
    Put("myscore.txt", std::string("PLAYER 900"));
    ScorePlace::Use(ScorePlace::Choose({"", true, true, dir / "data"}));
    EXPECT_EQ(First(), "        0") << "the player's table is not the autopilot's";
    ASSERT_TRUE(SaveAs("AUTO", 100));
    ASSERT_TRUE(SaveAs("AUTO", 200));
    EXPECT_EQ(First(), "AUTO    200");
    EXPECT_EQ(fs::path(scorefile).parent_path(), dir / "tmp");
    ScorePlace::Finish();
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));
    EXPECT_EQ(Get("myscore.txt"), std::string("PLAYER 900"));
    EXPECT_FALSE(fs::exists(dir / "data"));
}

// The built game, copied out of its build tree with its pictures where an
// installed game has them, played from a folder of its own.
class Installed : public ScoreTests::ScoreDir {
  protected:
    void SetUp() override {
        ScoreDir::SetUp();
        const fs::path build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "share" / "morvek");
        fs::create_directories(dir / "play");
        fs::create_directories(dir / "tmp");
        fs::copy_file(build / "morvek", dir / "bin" / "morvek");
        fs::create_directory_symlink(build / "Media", dir / "share" / "morvek" / "Media");
        Put(dir / "play" / "give-up.txt", kGiveUpAndSave);
    }
    int Play(const std::string& args) {
        const std::string command = "cd '" + (dir / "play").string() + "' && HOME='" +
                                    dir.string() + "' XDG_DATA_HOME= XDG_CONFIG_HOME= TMPDIR='" +
                                    (dir / "tmp").string() + "' timeout -s KILL 60 ../bin/morvek " +
                                    args + " >/dev/null 2>said.txt";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    // Gives a game up at once and saves it under the name MO.
    static constexpr const char* kGiveUpAndSave =
        "600 mouse move 175 175\n800 mouse down left\n860 mouse up left\n2000 key down 0x1B\n"
        "2100 key up 0x1B\n2500 mouse move 900 700\n2600 mouse down left\n2660 mouse up left\n"
        "3000 key down 0x4D\n3010 key up 0x4D\n3100 key down 0x4F\n3110 key up 0x4F\n"
        "3200 key down 0x0D\n3210 key up 0x0D\n4600 close\n";
};

TEST_F(Installed, KeepsItsTableInTheDataFolderAndTheAutopilotNowhere) {
    ASSERT_EQ(Play("--headless --script give-up.txt"), 0) << Get(dir / "play" / "said.txt");
    const fs::path table = dir / ".local" / "share" / "morvek" / "myscore.txt";
    EXPECT_FALSE(Get(table).empty()) << "saved (a score of 0 makes no place)";
    EXPECT_FALSE(fs::exists(dir / "play" / "myscore.txt"));
    EXPECT_FALSE(fs::exists(dir / ".config")) << "nothing but the table was written";

    const std::string kept = Get(table);
    ASSERT_EQ(Play("--headless --autopilot"), 0) << Get(dir / "play" / "said.txt");
    EXPECT_EQ(Get(table), kept);
    EXPECT_FALSE(fs::exists(dir / "play" / "myscore.txt"));
    EXPECT_TRUE(fs::is_empty(dir / "tmp")) << "the autopilot's table is removed";

    ASSERT_EQ(Play("--headless --script give-up.txt --scores given.txt"), 0);
    EXPECT_EQ(Get(table), kept);
    EXPECT_FALSE(Get(dir / "play" / "given.txt").empty());
}

} // namespace
