// The game run as a program on input meant to break it: each case must end
// quickly, with a message that says what is wrong and an honest exit status.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
    int status = -1; // exit status, or -1 when killed
    std::string err;
};

std::string Slurp(const fs::path& file) {
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    return text.str();
}

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        build = fs::current_path();
        if (!fs::exists(build / "morvek") || !fs::exists(build / "Media")) {
            GTEST_SKIP() << "needs the built game and its Media folder";
        }
        dir = fs::temp_directory_path() /
              ("morvek_bad_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::create_directory_symlink(build / "Media", dir / "Media");
    }
    void TearDown() override {
        if (!dir.empty()) {
            fs::remove_all(dir);
        }
    }
    // Runs the game headless in `dir`; `timeout` kills a run that hangs.
    Result Run(const std::string& args, const std::string& input = "< /dev/null") const {
        const std::string command = "cd '" + dir.string() + "' && timeout -s KILL 20 '" +
                                    (build / "morvek").string() + "' --headless " + args + " " +
                                    input + " >/dev/null 2>err.txt";
        const int raw = std::system(command.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.err = Slurp(dir / "err.txt");
        return r;
    }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name) << text;
    }
    fs::path build, dir;
};

TEST_F(BadInput, AFarOffEventOnAWaitingScreenComesAtOnceAtItsTime) {
    Write("far.txt", "1000000000000000 state far.json\n1000000000000000 close\n");
    const auto start = std::chrono::steady_clock::now();
    const Result r = Run("--script far.txt");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Slurp(dir / "far.json").find("\"clock_ms\":1000000000000000,"), std::string::npos);
}

TEST_F(BadInput, OverlongOrEndlessLinesAreRefusedWithAShortPrintableEcho) {
    Write("long.txt", "0 mouse move 1 1\n0 key down " + std::string(5000, '7') + "\n");
    Result r = Run("--script long.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("long.txt:2: line longer than 4096 bytes"), std::string::npos) << r.err;

    r = Run("--script -", "< /dev/zero");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("standard input:1: line longer than"), std::string::npos) << r.err;

    Write("escape.txt", "0 \033[2J" + std::string(3000, 'x') + "\n");
    r = Run("--script escape.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.find('\033'), std::string::npos);
    EXPECT_LT(r.err.size(), 200u) << r.err;
    EXPECT_NE(r.err.find("escape.txt:1: unknown event '?[2Jxx"), std::string::npos) << r.err;
}

TEST_F(BadInput, OnlyPlainFilesOrStandardInputAreScripts) {
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    Result r = Run("--script fifo");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("fifo: not a regular file"), std::string::npos) << r.err;

    fs::create_directory(dir / "folder");
    r = Run("--script folder");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("folder: not a regular file"), std::string::npos) << r.err;

    r = Run("--script /dev/zero");
    EXPECT_EQ(r.status, 2);

    Write("piped.txt", "100 state piped.json\n");
    r = Run("--script -", "< piped.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Slurp(dir / "piped.json").find("\"clock_ms\":1"), std::string::npos);
}

TEST_F(BadInput, AScriptWritesOnlyInsideTheWorkingDirectory) {
    fs::create_directory_symlink(fs::temp_directory_path(), dir / "out");
    for (const std::string line : {"0 state /tmp/morvek_bad.json", "0 shot ../x.bmp",
                                   "0 shot shots/../../x.bmp", "0 state out/morvek_bad.json"}) {
        Write("evil.txt", "0 key down 65\n" + line + "\n");
        const Result r = Run("--script evil.txt");
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_NE(r.err.find("evil.txt:2: may only write inside the working directory"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "morvek_bad.json"));
    EXPECT_FALSE(fs::exists(dir.parent_path() / "x.bmp"));

    Write("good.txt", "50 shot shots/deep/menu.bmp\n60 close\n");
    const Result r = Run("--script good.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_regular_file(dir / "shots/deep/menu.bmp"));
}

TEST_F(BadInput, AShotOrStateThatCannotBeWrittenSaysWhyAndFailsTheRun) {
    Write("blocker", "a file, not a folder\n");
    Write("s.txt",
          "50 state blocker/s.json\n60 shot blocker/s.bmp\n70 state ok/s.json\n80 close\n");
    const Result r = Run("--script s.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write the state blocker/s.json: Not a directory"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("cannot write the picture blocker/s.bmp: Not a directory"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(dir / "ok/s.json")); // the run went on
}

TEST_F(BadInput, ARecordingOntoAFullDiskFailsTheRun) {
    // /dev/full refuses every write as a full disk does.
    Write("s.txt", "50 key down 65\n60 close\n");
    const Result r = Run("--script s.txt --record /dev/full");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write the recording /dev/full: No space left on device"),
              std::string::npos)
        << r.err;
}

TEST_F(BadInput, BadPicturesAreNamedOnceAndNoMediaFolderStopsTheStart) {
    // A copy of the program looks for its pictures here only, not in the build.
    fs::copy_file(build / "morvek", dir / "morvek");
    fs::remove(dir / "Media");
    fs::create_directory(dir / "Media");
    std::vector<std::string> pictures;
    for (const auto& entry : fs::directory_iterator(build / "Media")) {
        if (entry.path().extension() == ".bmp") {
            fs::create_symlink(entry.path(), dir / "Media" / entry.path().filename());
            pictures.push_back("Media/" + entry.path().filename().string());
        }
    }
    ASSERT_GE(pictures.size(), 3u);
    const std::string fifo = pictures[0], damaged = pictures[1], missing = pictures[2];
    fs::remove(dir / fifo);
    ASSERT_EQ(::mkfifo((dir / fifo).c_str(), 0600), 0);
    fs::remove(dir / damaged);
    Write(damaged, "BM not a picture");
    fs::remove(dir / missing);
    // Started from elsewhere, it plays from the folder beside it.
    fs::create_directory(dir / "play");
    Write("play/s.txt", "100 close\n");
    const auto run = [&] {
        const std::string command = "cd '" + (dir / "play").string() +
                                    "' && timeout -s KILL 20 ../morvek --headless --script s.txt "
                                    "2>err.txt";
        const int raw = std::system(command.c_str());
        return Result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "play" / "err.txt")};
    };
    Result r = run();
    EXPECT_EQ(r.status, 0) << r.err;
    for (const auto& bad : {fifo, damaged, missing}) {
        const std::string named = "cannot load the picture " + (dir / bad).string() + "\n";
        const auto first = r.err.find(named);
        EXPECT_NE(first, std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(named, first + 1), std::string::npos) << r.err;
    }

    fs::remove_all(dir / "Media");
    r = run();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no Media folder"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.string()), std::string::npos) << r.err;
}

TEST_F(BadInput, TermAndInterruptEndAHeadlessRunAsTheCloseBoxDoes) {
    for (const int sig : {SIGTERM, SIGINT}) {
        fs::remove(dir / "rec.txt");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::chdir(dir.c_str()) != 0) {
                ::_exit(126);
            }
            const std::string exe = (build / "morvek").string();
            ::execl(exe.c_str(), exe.c_str(), "--headless", "--autopilot-ticks", "100000000",
                    "--record", "rec.txt", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // Wait until the run is under way, then stop it.
        const auto recorded = [&] {
            std::error_code ec;
            const auto size = fs::file_size(dir / "rec.txt", ec);
            return ec ? 0 : size;
        };
        for (int i = 0; i < 200 && recorded() < 200; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(child, sig);
        int raw = 0;
        ASSERT_EQ(::waitpid(child, &raw, 0), child);
        ASSERT_TRUE(WIFEXITED(raw)) << "killed by the signal instead of ending";
        EXPECT_EQ(WEXITSTATUS(raw), 128 + sig);
        const std::string rec = Slurp(dir / "rec.txt");
        ASSERT_FALSE(rec.empty());
        EXPECT_EQ(rec.back(), '\n'); // every line whole
    }
}

} // namespace
