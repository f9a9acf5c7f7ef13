// settings.ini: read and written back, bad files of every kind, a write cut
// short, and which runs read it.
#include "game/RunSettings.h"
#include "game/settings/SettingsFile.h"
#include "game/settings/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Morvek::Difficulty;

namespace {

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

Settings::Values Chosen() {
    Settings::Values v;
    v.difficulty = Difficulty::Easy;
    v.speed = 60;
    v.sound = false;
    v.fullscreen = true;
    v.integerScale = true;
    return v;
}

TEST(SettingsFile, WhatIsWrittenReadsBackAsItWas) {
    for (const auto& v : {Settings::Values{}, Chosen()}) {
        const auto read = Settings::Parse(Settings::Format(v, {}));
        EXPECT_EQ(read.values, v);
        EXPECT_TRUE(read.problems.empty());
        EXPECT_TRUE(read.notUnderstood.empty());
    }
    const std::string text = Settings::Format(Chosen(), {});
    EXPECT_NE(text.find("\ndifficulty = easy\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nspeed = slow\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n# easy, normal, hard\n"), std::string::npos) << "commented";
}

TEST(SettingsFile, BadLinesKeepTheDefaultsAndAreNamedByLine) {
    const std::string file = "# mine\r\n"
                             "speed=slow\r\n"         // 2: fine, no spaces, DOS line end
                             "difficulty = extreme\n" // 3: out of range
                             "volume = 11\n"          // 4: unknown
                             "fullscreen on\n"        // 5: no '='
                             "sound = maybe\n"        // 6: bad switch
                             "\x01\xff\x7f garbage\n" // 7
                             "   \n"
                             "integer-scale = on"; // 9: no line end
    const auto read = Settings::Parse(file);
    EXPECT_EQ(read.values.speed, 60u);
    EXPECT_EQ(read.values.difficulty, Difficulty::Normal);
    EXPECT_TRUE(read.values.sound);
    EXPECT_FALSE(read.values.fullscreen);
    EXPECT_TRUE(read.values.integerScale);
    std::vector<std::size_t> lines;
    for (const auto& p : read.problems) {
        lines.push_back(p.line);
        EXPECT_EQ(p.what.find('\x01'), std::string::npos) << "nothing a terminal acts on";
    }
    EXPECT_EQ(lines, (std::vector<std::size_t>{3, 4, 5, 6, 7}));
    EXPECT_NE(read.problems[0].what.find("easy, normal, hard"), std::string::npos);
    ASSERT_EQ(read.notUnderstood.size(), 5u);
    EXPECT_EQ(read.notUnderstood[1], "volume = 11");

    // Rewritten, they stay as comments, and stay through later rewrites.
    const std::string again = Settings::Format(read.values, read.notUnderstood);
    EXPECT_NE(again.find("\n# not understood: volume = 11\n"), std::string::npos) << again;
    const auto reread = Settings::Parse(again);
    EXPECT_TRUE(reread.problems.empty());
    EXPECT_EQ(reread.values, read.values);
    EXPECT_EQ(reread.notUnderstood, read.notUnderstood);
}

class Store : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = TestSupport::MakeTempDir("morvek-settings");
        file = dir / "config" / "morvek" / "settings.ini";
    }
    void TearDown() override {
        Settings::Close();
        fs::remove_all(dir);
    }
    std::string OpenSaying(const fs::path& f) {
        testing::internal::CaptureStderr();
        Settings::Open(f.string());
        return testing::internal::GetCapturedStderr();
    }
    fs::path dir, file;
};

TEST_F(Store, NothingIsWrittenUntilASettingChanges) {
    EXPECT_EQ(OpenSaying(file), "");
    EXPECT_EQ(Settings::Stored(), Settings::Values{});
    Settings::Change([](Settings::Values&) {});
    Settings::Change([](Settings::Values& v) { v.speed = 30; }); // as it was
    EXPECT_FALSE(fs::exists(dir / "config")) << "no folder, no file";

    Settings::Change([](Settings::Values& v) { v = Chosen(); });
    EXPECT_EQ(Settings::Parse(Get(file)).values, Chosen());
    EXPECT_EQ(OpenSaying(file), "");
    EXPECT_EQ(Settings::Stored(), Chosen());
}

TEST_F(Store, ABadFileIsToldLineByLineAndRewrittenOnlyOnAChange) {
    fs::create_directories(file.parent_path());
    const std::string mine = "difficulty = hard\nspeed = 45\nwhat\n";
    Put(file, mine);
    const std::string said = OpenSaying(file);
    EXPECT_NE(said.find(file.string() + ":2: "), std::string::npos) << said;
    EXPECT_NE(said.find(file.string() + ":3: "), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_EQ(Settings::Stored().difficulty, Difficulty::Hard);
    EXPECT_EQ(Get(file), mine) << "reading never rewrites";

    Settings::Change([](Settings::Values& v) { v.sound = false; });
    const auto read = Settings::Parse(Get(file));
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.values.difficulty, Difficulty::Hard);
    EXPECT_FALSE(read.values.sound);
    EXPECT_EQ(read.notUnderstood, (std::vector<std::string>{"speed = 45", "what"}));
}

TEST_F(Store, WhatIsNoFileIsNeverWrittenOver) {
    fs::create_directories(file);
    EXPECT_NE(OpenSaying(file).find("not a regular file"), std::string::npos);
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    EXPECT_TRUE(fs::is_directory(file));

    // A folder that can't be made: said once, the game goes on.
    OpenSaying(dir / "gone" / "settings.ini");
    Put(dir / "gone", "now a file");
    testing::internal::CaptureStderr();
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    Settings::Change([](Settings::Values& v) { v.sound = true; });
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(Settings::Stored().sound);
}

TEST_F(Store, AWriteKilledAnywhereLeavesAWholeFile) {
    Settings::Change([](Settings::Values&) {});
    fs::create_directories(file.parent_path());
    Put(file, Settings::Format({}, {"kept = 1"}));
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Settings::Open(file.string());
            for (bool on = false;; on = !on) {
                Settings::Change(
                    [on](Settings::Values& v) { v = on ? Chosen() : Settings::Values{}; });
            }
        }
        usleep(static_cast<useconds_t>(2000 + 1500 * round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const auto read = Settings::Parse(Get(file));
        ASSERT_TRUE(read.problems.empty()) << Get(file);
        ASSERT_TRUE(read.values == Chosen() || read.values == Settings::Values{});
        ASSERT_EQ(read.notUnderstood, std::vector<std::string>{"kept = 1"});
    }
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(file.parent_path())) {
        ++files;
    }
    EXPECT_LE(files, 3u) << "the file, its lock and at most the last kill's temporary file";
}

TEST(RunSettings, ScriptedRunsReadNoFileUnlessNamed) {
    const fs::path config = "/home/ash/.config/morvek";
    EXPECT_EQ(Settings::FileFor({"", false, config}), (config / "settings.ini").string());
    EXPECT_EQ(Settings::FileFor({"", true, config}), "");
    EXPECT_EQ(Settings::FileFor({"mine.ini", true, config}), "mine.ini");
    EXPECT_EQ(Settings::FileFor({"", false, ""}), "");
}

// The built game, headless, with its settings in a scratch home.
class Game : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        dir = TestSupport::MakeTempDir("morvek-settings-game");
        fs::create_directory_symlink(build / "Media", dir / "Media");
        ini = dir / "home" / ".config" / "morvek" / "settings.ini";
        fs::create_directories(ini.parent_path());
    }
    void TearDown() override {
        if (!dir.empty()) {
            fs::remove_all(dir);
        }
    }
    int Play(const std::string& args) {
        const std::string command =
            "cd '" + dir.string() + "' && HOME='" + (dir / "home").string() +
            "' XDG_CONFIG_HOME= timeout -s KILL 30 '" + (build / "morvek").string() +
            "' --headless " + args + " >/dev/null 2>said.txt";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    }
    std::string Said() { return Get(dir / "said.txt"); }
    fs::path build, dir, ini;
};

// Options, then Easy and Slow, then Return: the choices are kept on leaving.
constexpr const char* kChooseEasySlow =
    "100 mouse move 175 275\n150 mouse down left\n200 mouse up left\n"
    "400 mouse move 330 290\n450 mouse down left\n500 mouse up left\n"
    "700 mouse move 330 540\n750 mouse down left\n800 mouse up left\n"
    "1000 state chosen.json\n"
    "1100 mouse move 100 700\n1150 mouse down left\n1200 mouse up left\n"
    "1400 close\n";

TEST_F(Game, ScriptedRunsStartFromTheDefaultsUnlessASettingsFileIsNamed) {
    const std::string mine = "difficulty = easy\nspeed = slow\n";
    Put(ini, mine);
    Put(dir / "look.txt", "100 state look.json\n200 close\n");
    ASSERT_EQ(Play("--script look.txt"), 0) << Said();
    EXPECT_NE(Get(dir / "look.json").find("\"difficulty_setting\":1.000,"), std::string::npos);
    EXPECT_NE(Get(dir / "look.json").find("\"speed\":30,"), std::string::npos);

    Put(dir / "own.ini", mine);
    ASSERT_EQ(Play("--settings own.ini --script look.txt"), 0) << Said();
    EXPECT_NE(Get(dir / "look.json").find("\"difficulty_setting\":0.000,"), std::string::npos);
    EXPECT_NE(Get(dir / "look.json").find("\"speed\":60,"), std::string::npos);

    Put(dir / "choose.txt", kChooseEasySlow);
    ASSERT_EQ(Play("--script choose.txt"), 0) << Said();
    EXPECT_EQ(Get(ini), mine) << "a scripted run keeps no settings";
    fs::remove(dir / "own.ini");
    ASSERT_EQ(Play("--settings own.ini --script choose.txt"), 0) << Said();
    const auto kept = Settings::Parse(Get(dir / "own.ini"));
    EXPECT_EQ(kept.values.difficulty, Difficulty::Easy);
    EXPECT_EQ(kept.values.speed, 60u);
    EXPECT_EQ(Get(dir / "said.txt"), "");
}

TEST_F(Game, APlayersRunReadsItsFileAndWritesNothingAtStart) {
    Put(ini, "difficulty = easy\nspeed = 7\n");
    ASSERT_EQ(Play(""), 0);
    EXPECT_NE(Said().find(ini.string() + ":2: "), std::string::npos) << Said();
    EXPECT_EQ(Get(ini), "difficulty = easy\nspeed = 7\n");
}

} // namespace
