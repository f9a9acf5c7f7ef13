// A recording outlives its game: killed outright, the game leaves every event
// it took, each line whole, and the file replays up to its last one. A kept
// replay that finds the disk full says so once and lets the game go on.
#include "display/Recording.h"
#include "display/Run.h"

#include "support/ReadFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
namespace Run = Display::Run;

namespace {

class Killed : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        fs::create_directory_symlink(build / "Media", dir / "Media");
    }
    void TearDown() override { fs::remove_all(dir); }
    // Starts the game headless in `dir`.
    pid_t Start(const std::vector<std::string>& args) const {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::chdir(dir.c_str()) != 0) {
                ::_exit(126);
            }
            const std::string exe = (build / "morvek").string();
            std::vector<char*> argv{const_cast<char*>(exe.c_str())};
            for (const auto& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(exe.c_str(), argv.data());
            ::_exit(127);
        }
        return child;
    }
    fs::path build;
    fs::path dir = [] {
        const fs::path d =
            fs::temp_directory_path() / ("morvek-killed-" + std::to_string(::getpid()));
        fs::remove_all(d);
        fs::create_directories(d);
        return d;
    }();
};

TEST_F(Killed, AKilledGamesRecordingIsWholeUpToItsLastEvent) {
    // The autopilot plays on and on, handing the run input at every tick.
    const pid_t game =
        Start({"--headless", "--autopilot-ticks", "100000000", "--record", "rec.txt"});
    ASSERT_GT(game, 0);
    const auto recorded = [&] {
        std::error_code ec;
        const auto size = fs::file_size(dir / "rec.txt", ec);
        return ec ? 0 : size;
    };
    for (int i = 0; i < 1000 && recorded() < 8000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(::kill(game, SIGKILL), 0);
    int raw = 0;
    ASSERT_EQ(::waitpid(game, &raw, 0), game);
    ASSERT_TRUE(WIFSIGNALED(raw)) << "the game was to be under way still";

    const std::string killed = TestSupport::ReadFile(dir / "rec.txt");
    ASSERT_GE(killed.size(), 8000u) << "the game recorded too little in 10 s";
    EXPECT_EQ(killed.back(), '\n') << "the last line is whole";
    std::vector<Run::InputEvent> events;
    std::string error;
    ASSERT_TRUE(Run::ParseRecording(killed, "rec.txt", events, error)) << error;

    // Replayed, it is the same game up to the kill: the replay's own
    // recording begins with every line of it.
    fs::rename(dir / "rec.txt", dir / "killed.txt");
    const pid_t replay = Start({"--headless", "--script", "killed.txt", "--record", "again.txt"});
    ASSERT_GT(replay, 0);
    ASSERT_EQ(::waitpid(replay, &raw, 0), replay);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0);
    const std::string again = TestSupport::ReadFile(dir / "again.txt");
    EXPECT_EQ(again.substr(0, killed.size()), killed);
}

TEST(KeptReplay, AFullDiskIsSaidOnceAndFailsNothing) {
    Run::InputEvent key;
    key.kind = Run::InputEvent::KeyDown;
    std::string why;
    Run::Recording kept;
    ASSERT_TRUE(kept.Open("/dev/full", why, true)) << why;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(kept.Write(key));
    EXPECT_TRUE(kept.Write(key));
    EXPECT_TRUE(kept.Close());
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("morvek: the replay '/dev/full' could not be written"), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    // A recording asked for on the command line fails the run instead.
    Run::Recording asked;
    ASSERT_TRUE(asked.Open("/dev/full", why)) << why;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(asked.Write(key));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write the recording"),
              std::string::npos);
}

TEST_F(Killed, ARecordingThatFillsTheDiskKeepsOnlyWholeEvents) {
    const fs::path file = dir / "full.txt";
    // A child whose files may not grow past 100 bytes: the write that
    // reaches the limit goes in part, as on a disk that fills.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100, 100};
        std::string why;
        Run::Recording kept;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || !kept.Open(file.string(), why, true)) {
            ::_exit(2);
        }
        Run::InputEvent move;
        move.kind = Run::InputEvent::MouseMove;
        for (int i = 0; i < 20; ++i) {
            move.ms = static_cast<std::uint64_t>(i) * 1000;
            kept.Write(move);
        }
        ::_exit(0);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(child, &raw, 0), child);
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
    const std::string text = TestSupport::ReadFile(file);
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.size(), 100u);
    EXPECT_EQ(text.back(), '\n') << text;
    std::vector<Run::InputEvent> events;
    std::string error;
    EXPECT_TRUE(Run::ParseRecording(text, "full.txt", events, error)) << error;
}

} // namespace
