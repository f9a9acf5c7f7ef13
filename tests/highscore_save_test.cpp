// Saving the highscores safely: other games saving at once, links, files
// that are not tables, read-only and damaged tables, and the game's exit.
#include "game/core/World.h"
#include "game/screens/ScoreFile.h"
#include "platform/SafeFile.h"
#include "support/ScoreDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace Morvek;
using ScoreTests::Name;
namespace fs = std::filesystem;

namespace {

// Ten places 100, 90, ... 10 under the names A to J, as the game writes them.
const std::string kTable = "A      100 B      90 C      80 D      70 E      60 F      50 "
                           "G      40 H      30 I      20 J      10";

class SaveDir : public ScoreTests::ScoreDir {
  protected:
    void SetUp() override {
        ScoreDir::SetUp();
        fs::permissions(dir, fs::perms::all); // an unprivileged game may write here
        table = scorefile;
    }
    // Saves as the game does; what it said on stderr goes to `said`.
    bool SaveAs(std::string_view name, std::uint32_t result, std::string* said = nullptr,
                const std::string& path = "") {
        ScoreFile::Table got{};
        std::string error;
        testing::internal::CaptureStderr();
        const bool ok =
            ScoreFile::Save(path.empty() ? table : path, Name(name), result, got, error);
        const std::string out = testing::internal::GetCapturedStderr();
        if (said != nullptr) {
            *said = out + error;
        }
        return ok;
    }
    std::string table;
};

// Games that all read the table when they started, released at once to save.
void SaveAtOnce(const std::string& table, int games) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int g = 0; g < games; ++g) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            scorefile = table;
            ScoreFile::Read(scorefile, world.scores);
            world.scores[11].name = Name(std::string(1, static_cast<char>('K' + g)));
            world.score = 1000 + static_cast<std::uint32_t>(g);
            char c;
            (void)!read(gate[0], &c, 1); // the barrier: returns when the parent closes it
            _exit(SaveResult() ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

} // namespace

TEST_F(SaveDir, GamesSavingAtOnceKeepEveryResult) {
    for (const int games : {2, 3, 10}) {
        Put(table, kTable);
        SaveAtOnce(table, games);
        ScoreFile::Table got{};
        ASSERT_EQ(ScoreFile::Read(table, got), 10u);
        for (int g = 0; g < games; ++g) {
            // Each result is in, in order of score, above the old places.
            const std::uint32_t place = static_cast<std::uint32_t>(games - g);
            EXPECT_EQ(got[place].name, Name(std::string(1, static_cast<char>('K' + g))))
                << games << " games, game " << g;
            EXPECT_EQ(got[place].points, 1000u + static_cast<std::uint32_t>(g));
        }
        EXPECT_EQ(got[static_cast<std::uint32_t>(games) + 1].points, games == 10 ? 0u : 100u);
        for (const auto& entry : fs::directory_iterator(dir)) {
            EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
        }
    }
}

TEST_F(SaveDir, SaveWaitsForAnotherGamesSaveAndSaysSo) {
    Put(table, kTable);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    // Another game in the middle of its save for 300 ms.
    const pid_t other = fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
        SafeFile::Lock held;
        std::string error;
        const bool ok = held.Acquire(table + ".lock", 1000, {}, error);
        (void)!write(ready[1], "x", 1);
        usleep(300 * 1000);
        _exit(ok ? 0 : 1);
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    {
        // Waiting has a limit, and giving up says what was held.
        SafeFile::Lock lock;
        std::string error;
        EXPECT_FALSE(lock.Acquire(table + ".lock", 50, {}, error));
        EXPECT_NE(error.find(table + ".lock"), std::string::npos) << error;
    }
    std::string said;
    EXPECT_TRUE(SaveAs("WAITED", 500, &said));
    int status = 0;
    waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_NE(said.find("waiting for another game"), std::string::npos) << said;
    EXPECT_EQ(Get(table).substr(0, 11), "WAITED 500 ");
}

TEST_F(SaveDir, PlantedTemporaryLinksAreNeverFollowed) {
    Put(table, kTable);
    const fs::path victim = dir / "victim";
    Put(victim, "PRECIOUS");
    fs::create_symlink(victim, table + ".tmp");
    for (int n = 0; n < 64; ++n) {
        fs::create_symlink(victim,
                           table + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(n));
    }
    ASSERT_TRUE(SaveAs("OWL", 500));
    EXPECT_EQ(Get(victim), "PRECIOUS");
    EXPECT_TRUE(fs::is_symlink(table + ".tmp"));
    EXPECT_EQ(Get(table).substr(0, 11), "OWL    500 ");
}

TEST_F(SaveDir, LinkedTableIsSavedWhereItPoints) {
    fs::create_directory(dir / "real");
    Put(dir / "real" / "scores", kTable);
    fs::create_symlink("real/scores", table);
    ASSERT_TRUE(SaveAs("OWL", 500));
    ASSERT_TRUE(fs::is_symlink(table));
    EXPECT_EQ(Get(dir / "real" / "scores").substr(0, 11), "OWL    500 ");
    ASSERT_TRUE(SaveAs("KAT", 95));
    EXPECT_EQ(Get(table).substr(0, 31), "OWL    500 A      100 KAT    95");
    EXPECT_TRUE(fs::is_symlink(table));
}

TEST_F(SaveDir, TableKeepsItsPermissionsAndReadOnlyOneIsLeftAlone) {
    Put(table, kTable);
    fs::permissions(table, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(SaveAs("OWL", 500));
    EXPECT_EQ(fs::status(table).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    // A table the group shares for writing stays shared, whatever the umask
    // would give a new file.
    const auto shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                        fs::perms::group_write | fs::perms::others_read;
    fs::permissions(table, shared);
    const mode_t umask = ::umask(022);
    const bool saved = SaveAs("KAT", 400);
    ::umask(umask);
    ASSERT_TRUE(saved);
    EXPECT_EQ(fs::status(table).permissions(), shared);

    Put(table, kTable);
    fs::permissions(table, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    std::string said;
    EXPECT_FALSE(SaveAs("OWL", 500, &said));
    EXPECT_NE(said.find("read-only"), std::string::npos) << said;
    EXPECT_EQ(Get(table), kTable);
    EXPECT_EQ(fs::status(table).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(SaveDir, OnlyRegularFilesAreReadOrReplaced) {
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    fs::create_directory(dir / "folder");
    for (const std::string& path : {fifo, (dir / "folder").string(), std::string("/dev/full")}) {
        std::string said;
        EXPECT_FALSE(SaveAs("OWL", 500, &said, path)) << path;
        EXPECT_NE(said.find(path), std::string::npos) << said;
        std::string error;
        EXPECT_FALSE(ScoreFile::CheckPath(path, error)) << path;
        // Reading one shows an empty table rather than waiting for a writer.
        ScoreFile::Table got{};
        testing::internal::CaptureStderr();
        EXPECT_EQ(ScoreFile::Read(path, got), 0u);
        testing::internal::GetCapturedStderr();
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_directory(dir / "folder"));

    std::string error;
    EXPECT_FALSE(ScoreFile::CheckPath((dir / "none" / "myscore.txt").string(), error));
    EXPECT_FALSE(ScoreFile::CheckPath((dir / std::string(255, 'x')).string(), error));
    EXPECT_TRUE(ScoreFile::CheckPath(table, error)) << error;
    EXPECT_FALSE(fs::exists(table)); // checking makes nothing
}

TEST_F(SaveDir, DamagedTableIsKeptBesideBeforeItIsReplaced) {
    const std::string damaged = "\n" + kTable;
    Put(table, damaged);
    std::string said;
    ASSERT_TRUE(SaveAs("OWL", 55, &said));
    EXPECT_EQ(Get(table + ".bak"), damaged);
    EXPECT_EQ(Get(table), "A      100 B      90 C      80 D      70 E      60 OWL    55 "
                          "F      50 G      40 H      30 I      20");
    EXPECT_NE(said.find(table + ".bak"), std::string::npos) << said;
    EXPECT_EQ(said.find("\n"), said.size() - 1) << said; // said once

    // The table is clean now: no second backup.
    ASSERT_TRUE(SaveAs("KAT", 5, &said));
    EXPECT_EQ(said, "");
    EXPECT_FALSE(fs::exists(table + ".bak.2"));

    // Damaged again: the first backup stays as it is.
    Put(table, "ASH    -5 " + kTable);
    ASSERT_TRUE(SaveAs("KAT", 5, &said));
    EXPECT_EQ(Get(table + ".bak"), damaged);
    EXPECT_EQ(Get(table + ".bak.2"), "ASH    -5 " + kTable);
}

TEST_F(SaveDir, CleanOrMissingTableNeedsNoBackup) {
    ASSERT_TRUE(SaveAs("OWL", 55));
    Put(table, kTable + " LEFT  OVER 12"); // bytes after the tenth entry
    ASSERT_TRUE(SaveAs("OWL", 55));
    Put(table, "");
    ASSERT_TRUE(SaveAs("OWL", 55));
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".bak"), std::string::npos) << entry.path();
    }
}

namespace {

// The game run headless as a user root's powers don't apply to, so that
// permissions count as they do for players; "" where there is no such user.
std::string Unprivileged() {
    if (geteuid() != 0) {
        return " ";
    }
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr || access("/usr/bin/setpriv", X_OK) != 0) {
        return "";
    }
    return "/usr/bin/setpriv --reuid=" + std::to_string(nobody->pw_uid) +
           " --regid=" + std::to_string(nobody->pw_gid) + " --clear-groups ";
}

struct Ran {
    int status;
    std::string said;
};

Ran RunGame(const std::string& as, const std::string& args, const fs::path& dir) {
    const std::string out = (dir / "said").string();
    const std::string command = as + "./morvek --headless " + args + " 2>" + out;
    const int raw = std::system(command.c_str());
    std::ifstream in(out);
    Ran ran{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1,
            std::string(std::istreambuf_iterator<char>(in), {})};
    fs::remove(out);
    return ran;
}

} // namespace

TEST_F(SaveDir, ScoresPathThatCantHoldATableStopsTheGameAtOnce) {
    const std::string as = Unprivileged();
    if (as.empty()) {
        GTEST_SKIP() << "running as root with no unprivileged user to run the game as";
    }
    const std::string fifo = (dir / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    fs::create_directory(dir / "locked");
    fs::permissions(dir / "locked", fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::others_read | fs::perms::others_exec);
    for (const std::string& path :
         {std::string("/dev/full"), fifo, dir.string(), (dir / "none" / "t").string(),
          (dir / "locked" / "t").string()}) {
        const Ran ran = RunGame(as, "--scores " + path, dir);
        EXPECT_EQ(ran.status, 2) << path << ": " << ran.said;
        EXPECT_EQ(ran.said.find('\n'), ran.said.size() - 1) << ran.said; // one line
        EXPECT_NE(ran.said.find(path), std::string::npos) << ran.said;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(SaveDir, SaveThatFailsAfterTheGameShowsInTheExitStatus) {
    const std::string as = Unprivileged();
    if (as.empty()) {
        GTEST_SKIP() << "running as root with no unprivileged user to run the game as";
    }
    // A new game, given up at once with Escape, saved as O.
    Put(dir / "script", "100 mouse move 175 175\n120 mouse down left\n140 mouse up left\n"
                        "3000 key down 27\n3020 key up 27\n"
                        "3200 mouse move 900 700\n3220 mouse down left\n3240 mouse up left\n"
                        "3300 key down 79\n3320 key up 79\n"
                        "3400 mouse move 60 700\n3420 mouse down left\n3440 key down 13\n"
                        "3460 key up 13\n3480 mouse up left\n4000 close\n");
    const std::string args = "--script " + (dir / "script").string() + " --scores " + table;
    Put(table, kTable);
    fs::permissions(table, fs::perms::all);
    EXPECT_EQ(RunGame(as, args, dir).status, 0);
    EXPECT_TRUE(fs::exists(table + ".lock")); // it did save

    fs::permissions(table, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Ran ran = RunGame(as, args, dir);
    EXPECT_EQ(ran.status, kExitSaveFailed) << ran.said;
    EXPECT_NE(ran.said.find("read-only"), std::string::npos) << ran.said;
    EXPECT_EQ(Get(table), kTable);
}
