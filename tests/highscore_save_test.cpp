// Saving the highscores safely: other games saving at once, links, files
// that are not tables, read-only and damaged tables, and the game's exit.
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/World.h"
#include "game/screens/ScoreFile.h"
#include "host/Loop.h"
#include "platform/SafeFile.h"
#include "support/ScoreDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
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

// A save that tries until the table is free, as the name entry does.
bool SaveWaiting() {
    SaveOutcome outcome = SaveOutcome::Busy;
    for (std::uint32_t tries = 0; (outcome = TrySaveResult(tries)) == SaveOutcome::Busy; ++tries) {
        Display::Run::WaitOutside(ScoreFile::kSaveRetryMs);
    }
    return outcome == SaveOutcome::Saved;
}

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
            world.scores[kResultPlace].name = Name(std::string(1, static_cast<char>('K' + g)));
            world.score = 1000 + static_cast<std::uint32_t>(g);
            char c;
            (void)!read(gate[0], &c, 1); // the barrier: returns when the parent closes it
            _exit(SaveWaiting() ? 0 : 1);
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
    Put(table, "");
    ASSERT_TRUE(SaveAs("OWL", 55));
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".bak"), std::string::npos) << entry.path();
    }
}

TEST_F(SaveDir, TextAfterTheTenthEntryIsKeptOrBackedUp) {
    // What the save reads of the file is kept after the new table.
    const std::string after = "\nOLD    9999\nnotes of the old game\n";
    Put(table, kTable + after);
    std::string said;
    ASSERT_TRUE(SaveAs("OWL", 55, &said));
    EXPECT_EQ(said, "");
    EXPECT_EQ(Get(table), "A      100 B      90 C      80 D      70 E      60 OWL    55 "
                          "F      50 G      40 H      30 I      20" +
                              after);
    // Left over right after the tenth score, as the old game left them.
    Put(table, kTable + "LD 3 OLD    12");
    ASSERT_TRUE(SaveAs("KAT", 95, &said));
    EXPECT_EQ(Get(table).substr(Get(table).size() - 23), "I      20LD 3 OLD    12");
    EXPECT_FALSE(fs::exists(table + ".bak"));

    // More than a save reads: the whole file is kept aside first.
    std::string big = kTable;
    for (int line = 0; line < 10000; ++line) {
        big += "\nHIGHER " + std::to_string(100000 + line);
    }
    Put(table, big);
    ASSERT_TRUE(SaveAs("OWL", 55, &said));
    EXPECT_TRUE(Get(table + ".bak") == big);
    EXPECT_NE(said.find(table + ".bak"), std::string::npos) << said;
    EXPECT_EQ(Get(table).substr(0, 11), "A      100 ");
}

TEST_F(SaveDir, UnsortedTableIsBackedUpAndItsBestScoresStay) {
    const std::string unsorted = "LOW000020 LOW000119 LOW000218 LOW000317 LOW000416 LOW000515 "
                                 "LOW000614 LOW000713 LOW000812 CHAMPIO9999";
    Put(table, unsorted);
    // Shown as the file has it.
    ScoreFile::Table shown{};
    ASSERT_EQ(ScoreFile::Read(table, shown), 10u);
    EXPECT_EQ(shown[10].points, 9999u);

    std::string said;
    ASSERT_TRUE(SaveAs("OWL", 15, &said));
    EXPECT_EQ(Get(table + ".bak"), unsorted);
    EXPECT_NE(said.find(table + ".bak"), std::string::npos) << said;
    EXPECT_EQ(Get(table), "CHAMPIO9999 LOW000020 LOW000119 LOW000218 LOW000317 LOW000416 "
                          "LOW000515 OWL    15 LOW000614 LOW000713");
}

TEST_F(SaveDir, BackupIsTheWholeFileWithOrWithoutHardLinks) {
    // Damaged in front, and far longer than a save reads.
    std::string big = "\n" + kTable;
    while (big.size() < 128894) {
        big += "\nSPARE  " + std::to_string(big.size());
    }
    for (const bool links : {true, false}) {
        SafeFile::UseHardLinks(links);
        Put(table, big);
        fs::permissions(table, fs::perms::owner_read | fs::perms::owner_write);
        std::string said;
        const bool saved = SaveAs("OWL", 55, &said);
        SafeFile::UseHardLinks(true);
        ASSERT_TRUE(saved) << said;
        const std::string kept = table + (links ? ".bak" : ".bak.2");
        EXPECT_EQ(Get(kept).size(), big.size()) << "hard links " << links;
        EXPECT_TRUE(Get(kept) == big);
        EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_NE(said.find(kept), std::string::npos) << said;
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

// A new game, given up at once with Escape, saved as O.
constexpr const char* kGiveUpAndSave =
    "100 mouse move 175 175\n120 mouse down left\n140 mouse up left\n"
    "3000 key down 27\n3020 key up 27\n"
    "3200 mouse move 900 700\n3220 mouse down left\n3240 mouse up left\n"
    "3300 key down 79\n3320 key up 79\n"
    "3400 mouse move 60 700\n3420 mouse down left\n3440 key down 13\n"
    "3460 key up 13\n3480 mouse up left\n4000 close\n";

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
    Put(dir / "script", kGiveUpAndSave);
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

TEST_F(SaveDir, SaveByRootLeavesThePlayersTableThePlayers) {
    const std::string as = Unprivileged();
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || as.empty() || nobody == nullptr) {
        GTEST_SKIP() << "needs root and an unprivileged user";
    }
    Put(table, kTable);
    ASSERT_EQ(chown(table.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    fs::permissions(table, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                               fs::perms::others_read);
    ASSERT_TRUE(SaveAs("ROOT", 500));
    struct stat st {};
    ASSERT_EQ(stat(table.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, nobody->pw_uid);
    EXPECT_EQ(st.st_gid, nobody->pw_gid);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    // The player's next game saves as ever.
    Put(dir / "script", kGiveUpAndSave);
    const std::string args = "--script " + (dir / "script").string() + " --scores " + table;
    Ran ran = RunGame(as, args, dir);
    EXPECT_EQ(ran.status, 0) << ran.said;
    EXPECT_EQ(Get(table).substr(0, 11), "ROOT   500 ");

    // Another user's table that carries write bits is not called read-only.
    ASSERT_EQ(chown(table.c_str(), 0, 0), 0);
    const std::string before = Get(table);
    ran = RunGame(as, args, dir);
    EXPECT_EQ(ran.status, kExitSaveFailed) << ran.said;
    EXPECT_EQ(ran.said.find("read-only"), std::string::npos) << ran.said;
    EXPECT_NE(ran.said.find("may not be written"), std::string::npos) << ran.said;
    EXPECT_EQ(Get(table), before);
}

// The name entry waits for another game's save outside the game: the step
// ends (a window goes on being served), the virtual clock stays, and the
// save goes through once the table is free, said once on stderr.
TEST_F(SaveDir, ATableHeldByAnotherGameIsWaitedForOutsideTheGame) {
    Display::Run::Reset();
    Display::Run::SetHeadless(true);
    auto held = std::make_optional<SafeFile::Lock>();
    std::string error;
    ASSERT_TRUE(held->Acquire(table + ".lock", 1000, {}, error)) << error;
    world.scores[kResultPlace].name = Name("HELD");
    world.score = 500;
    world.scenes.Push(NameEntryScene{.shown = true, .t = 5, .saving = true});
    testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        const Wait wait = Step(world);
        ASSERT_EQ(wait.kind, Wait::Kind::Outside);
        Program::Perform(wait);
        EXPECT_EQ(Display::Run::ClockMs(), 0u);
    }
    EXPECT_FALSE(fs::exists(table)); // nothing written under another game's lock
    held.reset();
    EXPECT_EQ(Step(world).kind, Wait::Kind::Idle); // saved: the table answers it
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("waiting for another game"), said.rfind("waiting for another game"));
    EXPECT_NE(said.find("waiting for another game"), std::string::npos) << said;
    EXPECT_NE(Get(table).find("HELD"), std::string::npos) << Get(table);
    Display::Run::Reset();
}

TEST_F(SaveDir, SigtermWhileTheSaveWaitsEndsTheGameAtOnce) {
    Put(dir / "script", kGiveUpAndSave);
    Put(table, kTable);
    SafeFile::Lock held; // another game's save that does not end
    std::string error;
    ASSERT_TRUE(held.Acquire(table + ".lock", 1000, {}, error)) << error;
    const std::string said = (dir / "said").string();
    const pid_t game = fork();
    ASSERT_GE(game, 0);
    if (game == 0) {
        const std::string command = "exec ./morvek --headless --script " +
                                    (dir / "script").string() + " --scores " + table + " 2>" + said;
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const auto started = std::chrono::steady_clock::now();
    while (Get(said).find("waiting for another game") == std::string::npos &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(8)) {
        usleep(10 * 1000);
    }
    ASSERT_NE(Get(said).find("waiting for another game"), std::string::npos) << Get(said);
    const auto asked = std::chrono::steady_clock::now();
    kill(game, SIGTERM);
    int status = 0;
    waitpid(game, &status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 143) << status;
    const std::string out = Get(said);
    const std::size_t line = out.find("could not be saved");
    EXPECT_NE(line, std::string::npos) << out;
    EXPECT_EQ(out.find('\n', line), out.size() - 1) << out; // the last line, and one only
    EXPECT_EQ(Get(table), kTable);
}
