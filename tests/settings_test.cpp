// settings.ini: read and written back, bad files of every kind, a write cut
// short, games and hands changing it at once, links and permissions, and
// which runs read it.
#include "game/RunSettings.h"
#include "game/settings/SettingsFile.h"
#include "game/settings/SettingsStore.h"
#include "platform/SafeFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
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

// A file as a player may write it: comments of their own, Windows line
// ends, a setting twice, lines the game can't take.
const std::string kHandWritten = "# my settings, keep this\r\n"
                                 "difficulty = easy\r\n"
                                 "  # indented note\r\n"
                                 "volume = 11\r\n"
                                 "key-fire = Z\r\n"
                                 "speed = fast\r\n"
                                 "speed = slow   \r\n"
                                 "\r\n"
                                 "# the end";

TEST_F(Store, AChangeKeepsTheFilesOwnCommentsAndLines) {
    fs::create_directories(file.parent_path());
    Put(file, kHandWritten);
    OpenSaying(file);
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    Settings::Change([](Settings::Values& v) { v.speed = 30; });
    EXPECT_EQ(Get(file), "# my settings, keep this\r\n"
                         "difficulty = easy\r\n"
                         "  # indented note\r\n"
                         "# not understood: volume = 11\r\n"
                         "key-fire = Z\r\n"
                         "speed = fast\r\n"
                         "speed = fast   \r\n"
                         "\r\n"
                         "# the end\r\n"
                         "sound = off\r\n");
    EXPECT_EQ(OpenSaying(file), "") << "the line not understood is told once";
    const auto read = Settings::Parse(Get(file));
    EXPECT_EQ(read.notUnderstood, std::vector<std::string>{"volume = 11"});
    EXPECT_EQ(read.values, Settings::Stored());

    // A key given to another action swaps, and each action's line says so.
    Settings::Change([](Settings::Values& v) { Display::Bindings::Bind(v.keys, 0, 'Z'); });
    const auto keys = Settings::Parse(Get(file));
    EXPECT_TRUE(keys.problems.empty()) << Get(file);
    EXPECT_EQ(keys.values, Settings::Stored()) << Get(file);
    EXPECT_NE(Get(file).find("key-fire = Left\r\n"), std::string::npos) << Get(file);
}

// The online name is set by hand, or asked by the game once: the answer is
// written into the player's own file beside its address, nothing else moved.
TEST_F(Store, TheOnlineNameAskedIsWrittenAndTheHandsLinesStay) {
    fs::create_directories(file.parent_path());
    Put(file, "leaderboard = http://127.0.0.1:8080\n# mine\n");
    OpenSaying(file);
    Settings::Change([](Settings::Values& v) { v.playerName = "ASH"; });
    EXPECT_EQ(Get(file), "leaderboard = http://127.0.0.1:8080\n# mine\nplayer-name = ASH\n");
    Settings::Change([](Settings::Values& v) { v.playerName = "EMBER"; });
    EXPECT_EQ(Get(file), "leaderboard = http://127.0.0.1:8080\n# mine\nplayer-name = EMBER\n");
    // Another game's other change leaves the name as the file has it
    Put(file, "player-name = ZED\n");
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    EXPECT_EQ(Settings::Parse(Get(file)).values.playerName, "ZED") << Get(file);
}

TEST_F(Store, AnotherGamesChangesAndHandEditsMeanwhileStay) {
    fs::create_directories(file.parent_path());
    Put(file, Settings::Format({}, {}));
    OpenSaying(file);
    // Another game makes the game hard and binds fire to Z; a hand adds a note.
    Settings::Values other;
    other.difficulty = Difficulty::Hard;
    Display::Bindings::Bind(other.keys, 4, 'Z');
    Put(file, "# mine\n" + Settings::Format(other, {}));
    Settings::Change([](Settings::Values& v) {
        v.sound = false;
        Display::Bindings::Bind(v.keys, 0, 'A'); // left
    });
    const std::string text = Get(file);
    const auto got = Settings::Parse(text).values;
    EXPECT_EQ(got.difficulty, Difficulty::Hard) << text;
    EXPECT_EQ(got.keys[4], 'Z') << text;
    EXPECT_EQ(got.keys[0], 'A') << text;
    EXPECT_FALSE(got.sound) << text;
    EXPECT_TRUE(text.starts_with("# mine\n")) << text;
    EXPECT_EQ(Settings::Stored().difficulty, Difficulty::Normal) << "this run plays on as it was";

    // Games started together, each changing one setting of its own.
    Put(file, Settings::Format({}, {}));
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> games;
    for (int g = 0; g < 5; ++g) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            Settings::Open(file.string());
            char c;
            (void)!read(gate[0], &c, 1); // returns when the parent closes it
            Settings::Change([g](Settings::Values& v) {
                switch (g) {
                case 0:
                    v.difficulty = Difficulty::Easy;
                    break;
                case 1:
                    v.speed = 60;
                    break;
                case 2:
                    v.sound = false;
                    break;
                case 3:
                    v.fullscreen = true;
                    break;
                default:
                    v.integerScale = true;
                    break;
                }
            });
            Settings::Flush(); // as the program's end does with a change still pending
            _exit(0);
        }
        games.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    for (const pid_t pid : games) {
        int status = 0;
        waitpid(pid, &status, 0);
    }
    EXPECT_EQ(Settings::Parse(Get(file)).values, Chosen()) << Get(file);
}

TEST_F(Store, ALongFileIsReadWholeAndAnOverlongOneLeftAlone) {
    fs::create_directories(file.parent_path());
    const std::string tail = "key-fire = F12\nsound = off\nvolume = 11\n";
    const std::string big = std::string(65522, '#') + "\n" + tail;
    Put(file, big);
    const std::string said = OpenSaying(file);
    EXPECT_NE(said.find(file.string() + ":4: unknown setting 'volume'"), std::string::npos)
        << said.substr(0, 200);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said.substr(0, 200);
    EXPECT_EQ(Display::Bindings::KeyName(Settings::Stored().keys[4]), "F12");
    EXPECT_FALSE(Settings::Stored().sound);
    Settings::Change([](Settings::Values& v) { v.speed = 60; });
    EXPECT_EQ(Get(file),
              big.substr(0, big.size() - 12) + "# not understood: volume = 11\nspeed = slow\n");

    const std::string huge = std::string(Settings::kMaxBytes, '#') + "\nsound = off\n";
    Put(file, huge);
    const std::string refused = OpenSaying(file);
    EXPECT_NE(refused.find(std::to_string(Settings::kMaxBytes)), std::string::npos) << refused;
    EXPECT_EQ(std::count(refused.begin(), refused.end(), '\n'), 1) << refused;
    EXPECT_EQ(Settings::Stored(), Settings::Values{});
    Settings::Change([](Settings::Values& v) { v.speed = 60; });
    EXPECT_EQ(Get(file), huge);
}

// What a settings file holds, as a message may show it: short, printable,
// and named by file and line.
TEST_F(Store, MessagesShowThePlayersTextShortAndPrintable) {
    fs::create_directories(file.parent_path());
    const std::string noise = "\x1b]0;owned\x07\x1b[2J";
    const std::string lines[] = {noise,
                                 noise + " = on",
                                 "sound = " + noise,
                                 "key-" + noise + " = Z",
                                 "key-fire = " + noise,
                                 std::string(3000, 'x'),
                                 "sound = " + std::string(3000, 'y')};
    std::string text;
    for (const auto& l : lines) {
        text += l + "\n";
    }
    Put(file, text);
    const std::string said = OpenSaying(file);
    std::size_t line = 0;
    for (std::size_t at = 0; at < said.size(); ++line) {
        const auto end = said.find('\n', at);
        const std::string one = said.substr(at, end - at);
        EXPECT_NE(one.find(file.string() + ":" + std::to_string(line + 1) + ": "),
                  std::string::npos)
            << one;
        EXPECT_LT(one.size(), file.string().size() + 160) << one;
        EXPECT_TRUE(std::all_of(one.begin(), one.end(), [](char c) {
            return c >= 0x20 && c < 0x7F;
        })) << one;
        at = end + 1;
    }
    EXPECT_EQ(line, std::size(lines));

    // An option line of a script, checked against the settings it names.
    Display::Run::InputEvent option;
    option.kind = Display::Run::InputEvent::Option;
    for (const std::string& bad : {"difficulty " + noise, "speed " + std::string(3000, 'z')}) {
        option.option = bad;
        std::string error;
        EXPECT_FALSE(Settings::StartFromScript({option}, "run.txt", error));
        EXPECT_LT(error.size(), 160u) << error;
        EXPECT_TRUE(std::all_of(error.begin(), error.end(), [](char c) {
            return c >= 0x20 && c < 0x7F;
        })) << error;
    }
}

namespace {

// Another game holds the settings' lock until the returned pipe end is closed.
pid_t HoldLock(const std::string& lockFile, int& release) {
    int held[2], done[2];
    if (pipe(held) != 0 || pipe(done) != 0) {
        return -1;
    }
    const pid_t holder = fork();
    if (holder == 0) {
        close(done[1]);
        SafeFile::Lock lock;
        std::string error;
        const bool ok = lock.Acquire(lockFile, 1000, {}, error);
        (void)!write(held[1], "x", 1);
        char c;
        (void)!read(done[0], &c, 1);
        _exit(ok ? 0 : 1);
    }
    close(done[0]);
    close(held[1]);
    char c;
    const bool locked = read(held[0], &c, 1) == 1;
    close(held[0]);
    release = done[1];
    return locked ? holder : -1;
}

} // namespace

TEST_F(Store, AChangeNeverWaitsForAnotherGamesLock) {
    fs::create_directories(file.parent_path());
    Put(file, "sound = on\n");
    EXPECT_EQ(OpenSaying(file), "");
    int release = -1;
    const pid_t holder = HoldLock(file.string() + ".lock", release);
    ASSERT_GT(holder, 0);

    testing::internal::CaptureStderr();
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    Settings::Retry();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a held lock is no failure yet";
    EXPECT_TRUE(Settings::Pending());
    EXPECT_FALSE(Settings::Stored().sound);
    EXPECT_EQ(Get(file), "sound = on\n");

    close(release);
    int status = 0;
    waitpid(holder, &status, 0);
    Settings::Retry();
    EXPECT_FALSE(Settings::Pending());
    EXPECT_EQ(Get(file), "sound = off\n");
}

TEST_F(Store, APendingChangeGivesUpAtTheEndAndSaysSo) {
    fs::create_directories(file.parent_path());
    EXPECT_EQ(OpenSaying(file), "");
    int release = -1;
    const pid_t holder = HoldLock(file.string() + ".lock", release);
    ASSERT_GT(holder, 0);
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    ASSERT_TRUE(Settings::Pending());
    testing::internal::CaptureStderr();
    Settings::Flush();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("could not be saved"), std::string::npos) << said;
    EXPECT_FALSE(Settings::Pending());
    EXPECT_FALSE(fs::exists(file));
    close(release);
    int status = 0;
    waitpid(holder, &status, 0);
}

TEST_F(Store, KilledWritesLeftoversGoWhenTheFileIsNextOpened) {
    fs::create_directories(file.parent_path());
    Put(file, "sound = off\n");
    Put(file.string() + ".lock", "");
    const std::string stale = file.string() + ".tmp-4242-7";
    Put(stale, "half a fil");
    const fs::path other = dir / "elsewhere";
    Put(other, "kept");
    fs::create_symlink(other, file.string() + ".tmp-4242-8");
    Put(file.string() + ".tmp-mine", "not ours");

    // While another game writes, its temporary file is no leftover.
    int held[2];
    ASSERT_EQ(pipe(held), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        SafeFile::Lock lock;
        std::string error;
        const bool ok = lock.Acquire(file.string() + ".lock", 1000, {}, error);
        (void)!write(held[1], "x", 1);
        usleep(300 * 1000);
        _exit(ok ? 0 : 1);
    }
    char c;
    ASSERT_EQ(read(held[0], &c, 1), 1);
    EXPECT_EQ(OpenSaying(file), "");
    EXPECT_TRUE(fs::exists(stale));
    int status = 0;
    waitpid(writer, &status, 0);
    close(held[0]);
    close(held[1]);

    EXPECT_EQ(OpenSaying(file), "");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::is_symlink(file.string() + ".tmp-4242-8"));
    EXPECT_EQ(Get(other), "kept");
    EXPECT_EQ(Get(file.string() + ".tmp-mine"), "not ours");
    EXPECT_EQ(Get(file), "sound = off\n");

    // No lock file, no write ever ran: starting makes none.
    fs::remove(file.string() + ".lock");
    EXPECT_EQ(OpenSaying(file), "");
    EXPECT_FALSE(fs::exists(file.string() + ".lock"));
}

TEST_F(Store, TheFileIsSavedAsTheHighscoreTableIs) {
    fs::create_directories(dir / "real");
    fs::create_directories(file.parent_path());
    Put(dir / "real" / "settings.ini", "# linked\n");
    fs::create_symlink("../../real/settings.ini", file);
    OpenSaying(file);
    Settings::Change([](Settings::Values& v) { v.sound = false; });
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(Get(dir / "real" / "settings.ini"), "# linked\nsound = off\n");

    fs::remove(file);
    Put(file, "sound = off\n");
    for (const auto mode : {fs::perms::owner_read | fs::perms::owner_write,
                            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write}) {
        fs::permissions(file, mode);
        OpenSaying(file);
        const mode_t umask = ::umask(022);
        Settings::Change([](Settings::Values& v) { v.sound = !v.sound; });
        ::umask(umask);
        EXPECT_EQ(fs::status(file).permissions(), mode);
    }
    EXPECT_EQ(Settings::Parse(Get(file)).values.sound, false);

    const auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(file, readOnly);
    const std::string before = Get(file);
    OpenSaying(file);
    testing::internal::CaptureStderr();
    Settings::Change([](Settings::Values& v) { v.sound = true; });
    Settings::Change([](Settings::Values& v) { v.speed = 60; });
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("read-only"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(Get(file), before);
    EXPECT_EQ(fs::status(file).permissions(), readOnly);
}

// Run in a child as a user root's powers don't apply to, as players are;
// the child's exit status is the test's.
bool AsUnprivileged(const std::function<bool()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (nobody == nullptr || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
                setuid(nobody->pw_uid) != 0) {
                _exit(2);
            }
        }
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(Store, AnotherUsersFileIsLeftAloneAndAWritableOneKeepsItsMode) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to make files another user owns";
    }
    fs::create_directories(file.parent_path());
    fs::permissions(dir, fs::perms::all);
    for (fs::path f = file.parent_path(); f != dir; f = f.parent_path()) {
        fs::permissions(f, fs::perms::all);
    }
    const auto shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::group_write | fs::perms::others_read | fs::perms::others_write;
    for (const auto mode :
         {fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
              fs::perms::others_read,
          fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, shared}) {
        Put(file, "sound = off\n");
        fs::permissions(file, mode);
        const std::string name = file.string();
        EXPECT_TRUE(AsUnprivileged([name] {
                        testing::internal::CaptureStderr();
                        Settings::Open(name);
                        Settings::Change([](Settings::Values& v) { v.sound = true; });
                        const std::string said = testing::internal::GetCapturedStderr();
                        return said.find("read-only") != std::string::npos;
                    }) == (mode != shared));
        EXPECT_EQ(fs::status(file).permissions(), mode);
        EXPECT_EQ(Get(file), mode == shared ? "sound = on\n" : "sound = off\n");
    }
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
