// The game run as a program on input meant to break it: each case must end
// quickly, with a message that says what is wrong and an honest exit status.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
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
    // `env` goes before the command ("HOME=... ").
    Result Run(const std::string& args, const std::string& input = "< /dev/null",
               const std::string& env = "") const {
        const std::string command = "cd '" + dir.string() + "' && " + env + "timeout -s KILL 20 '" +
                                    (build / "morvek").string() + "' --headless " + args + " " +
                                    input + " >/dev/null 2>err.txt";
        const int raw = std::system(command.c_str());
        Result r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.err = Slurp(dir / "err.txt");
        return r;
    }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    // A Media folder of the working directory's own, as an installed game
    // started from its folder has: links to the build's pictures.
    void MediaOfItsOwn() const {
        fs::remove(dir / "Media");
        fs::create_directory(dir / "Media");
        for (const auto& entry : fs::directory_iterator(build / "Media")) {
            if (entry.path().extension() == ".bmp") {
                fs::create_symlink(entry.path(), dir / "Media" / entry.path().filename());
            }
        }
    }
    fs::path build, dir;
};

// No printable message holds a byte a terminal would act on.
bool Printable(const std::string& text) {
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\n') || u >= 0x7F) {
            return false;
        }
    }
    return true;
}

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
    EXPECT_NE(r.err.find("s.txt:1: cannot write the state 'blocker/s.json': Not a directory"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("s.txt:2: cannot write the picture 'blocker/s.bmp': Not a directory"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(dir / "ok/s.json")); // the run went on
}

TEST_F(BadInput, ARecordingOntoAFullDiskFailsTheRun) {
    // /dev/full refuses every write as a full disk does.
    Write("s.txt", "50 key down 65\n60 close\n");
    const Result r = Run("--script s.txt --record /dev/full");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write the recording '/dev/full': No space left on device"),
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

TEST_F(BadInput, AShotOrStateNeverFollowsALinkItFindsAtItsName) {
    // Links planted where a script will write, to places that do not exist yet.
    const fs::path outside = dir.string() + "_out";
    fs::create_directories(outside);
    fs::create_symlink("../" + outside.filename().string() + "/p.bmp", dir / "pic.bmp");
    fs::create_symlink(outside / "s.json", dir / "s.json");
    Write("shot.txt", "0 key down 65\n10 shot pic.bmp\n20 close\n");
    Result r = Run("--script shot.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(
        r.err.find("shot.txt:2: may only write regular files, and 'pic.bmp' is a symbolic link"),
        std::string::npos)
        << r.err;
    Write("state.txt", "10 state s.json\n20 close\n");
    r = Run("--script state.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("state.txt:1: may only write regular files"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(outside / "p.bmp"));
    EXPECT_FALSE(fs::exists(outside / "s.json"));
    EXPECT_TRUE(fs::is_symlink(dir / "pic.bmp")); // left as it was
    fs::remove_all(outside);

    // A link to a folder inside the working directory still leads there.
    fs::create_directory(dir / "real");
    fs::create_directory_symlink("real", dir / "inner");
    Write("inner.txt", "10 shot inner/a.bmp\n20 state inner/deep/a.json\n30 close\n");
    r = Run("--script inner.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_regular_file(dir / "real/a.bmp"));
    EXPECT_TRUE(fs::is_regular_file(dir / "real/deep/a.json"));
}

TEST_F(BadInput, AScriptNeverWritesTheGamesOwnFiles) {
    MediaOfItsOwn();
    fs::create_directory_symlink("Media", dir / "pictures");
    Write("myscore.txt", "MORVEK 100 ");
    const std::string table = Slurp(dir / "myscore.txt");
    fs::create_directories(dir / "scores");
    Write("my.ini", "difficulty = easy\n");
    fs::create_hard_link(dir / "myscore.txt", dir / "linked.json");
    for (const std::string file :
         {"myscore.txt", "./myscore.txt", "myscore.txt.lock", "myscore.txt.tmp-12-3",
          "myscore.txt.tmp", "myscore.txt.bak", "myscore.txt.bak.7", "linked.json", "my.ini",
          "my.ini.tmp-1-1", "scores/t.txt", "scores/t.txt.bak.2", "Media/Back1.bmp",
          "Media/new/x.bmp", "./Media/x.bmp", "pictures/Back1.bmp",
          "home/.config/morvek/settings.ini", "home/.local/share/morvek/myscore.txt"}) {
        for (const std::string event : {"shot", "state"}) {
            Write("own.txt", "0 key down 65\n5 " + event + " " + file + "\n10 close\n");
            const Result r =
                Run("--script own.txt --scores scores/t.txt --settings my.ini", "< /dev/null",
                    "HOME='" + dir.string() + "/home' XDG_CONFIG_HOME= XDG_DATA_HOME= ");
            EXPECT_EQ(r.status, 2) << event << " " << file << ": " << r.err;
            EXPECT_NE(
                r.err.find("own.txt:2: may not write '" + file + "', one of the game's own files"),
                std::string::npos)
                << r.err;
        }
    }
    EXPECT_EQ(Slurp(dir / "myscore.txt"), table);
    EXPECT_EQ(Slurp(dir / "my.ini"), "difficulty = easy\n");
    EXPECT_FALSE(fs::exists(dir / "Media/new"));
    EXPECT_FALSE(fs::exists(dir / "scores/t.txt"));

    // Shots of the player's own, as make run's fallback takes them run after
    // run, keep working; names only like the game's are the player's.
    Write("mine.txt", "10 shot shots/menu.bmp\n20 state myscore.json\n30 state media/x.json\n"
                      "40 close\n");
    for (int run = 0; run < 2; ++run) {
        const Result r = Run("--script mine.txt");
        EXPECT_EQ(r.status, 0) << r.err;
    }
    EXPECT_TRUE(fs::is_regular_file(dir / "shots/menu.bmp"));
    EXPECT_TRUE(fs::is_regular_file(dir / "myscore.json"));
}

TEST_F(BadInput, AFifoIsNeverWaitedOn) {
    ASSERT_EQ(::mkfifo((dir / "f.bmp").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir / "f.json").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    Write("s.txt", "10 shot f.bmp\n20 close\n");
    Result r = Run("--script s.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("s.txt:1: may only write regular files, and 'f.bmp' is a FIFO"),
              std::string::npos)
        << r.err;
    Write("s.txt", "10 state f.json\n20 close\n");
    r = Run("--script s.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("'f.json' is a FIFO"), std::string::npos) << r.err;

    // A recording is a file or a device; a FIFO would hold the start until
    // something reads it.
    ASSERT_EQ(::mkfifo((dir / "rec").c_str(), 0600), 0);
    Write("s.txt", "10 close\n");
    r = Run("--script s.txt --record rec");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write the recording 'rec': it is a FIFO"), std::string::npos)
        << r.err;
    fs::create_directory(dir / "folder");
    r = Run("--script s.txt --record folder");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write the recording 'folder': it is a folder"), std::string::npos)
        << r.err;
    r = Run("--script s.txt --record /dev/null");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(BadInput, APauseOrALostFocusSkipsToAFarEventOnItsOwnGrid) {
    // A new game, paused by P (or by the focus) at about 2 s; the next event
    // comes 10^11 ms later. The pause's passes of 20 ms started at 2020 (at
    // 2010 for the focus), so the event is taken at the first pass at or past it.
    const std::string newGame = "600 mouse move 175 175\n800 mouse down left\n860 mouse up left\n"
                                "1500 key down 0x20\n";
    const std::pair<std::string, std::string> cases[] = {
        {"2000 key down 0x50\n2010 key up 0x50\n2013 state near.json\n"
         "100000000007 state far.json\n100000000007 close\n",
         "100000000020"},
        {"2001 focus lost\n2013 state near.json\n100000000003 state far.json\n"
         "100000000003 close\n",
         "100000000010"},
    };
    for (const auto& [pause, at] : cases) {
        Write("far.txt", newGame + pause);
        const auto start = std::chrono::steady_clock::now();
        const Result r = Run("--script far.txt");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string far = Slurp(dir / "far.json");
        EXPECT_NE(far.find("{\"clock_ms\":" + at + ","), std::string::npos) << far;
        // Nothing but the clock moved while paused.
        const std::string near = Slurp(dir / "near.json");
        ASSERT_TRUE(near.find(',') != std::string::npos && far.find(',') != std::string::npos);
        EXPECT_EQ(far.substr(far.find(',')), near.substr(near.find(','))) << near << "\n" << far;
    }

    // A time the clock can't reach is refused, not waited for.
    Write("end.txt", "0 key down 65\n18446744073709551615 close\n");
    const Result r = Run("--script end.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("end.txt:2: time 18446744073709551615 is past the clock's end"),
              std::string::npos)
        << r.err;
}

TEST_F(BadInput, MessagesShowThePlayersInputShortAndPrintable) {
    // An option line of 3 KB holding ESC and BEL.
    Write("o.txt",
          "0 option difficulty \033]0;pwned\007" + std::string(3000, 'x') + "\n10 close\n");
    Result r = Run("--script o.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Printable(r.err)) << r.err;
    EXPECT_LT(r.err.size(), 200u) << r.err;
    EXPECT_NE(r.err.find("o.txt:1: no option 'difficulty ?]0;pwned?xxx"), std::string::npos)
        << r.err;

    // A state that can't be written, its name full of escape codes.
    Write("blocker", "a file, not a folder\n");
    Write("s.txt", "10 state blocker/\033]0;pwned\007.json\n20 close\n");
    r = Run("--script s.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Printable(r.err)) << r.err;
    EXPECT_NE(r.err.find("s.txt:1: cannot write the state 'blocker/?]0;pwned?.json': "),
              std::string::npos)
        << r.err;

    // Paths and words of the command line.
    Write("s.txt", "10 close\n");
    for (const std::string args :
         {"--script s.txt --record 'blocker/\033]0;x\007'", "--script 'no\033]0;x\007.txt'",
          "--level '\033]0;x\007'", "'--\033]0;x\007'"}) {
        r = Run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_TRUE(Printable(r.err)) << r.err;
        EXPECT_NE(r.err.find("?]0;x?"), std::string::npos) << r.err;
    }
}

TEST_F(BadInput, ContradictoryOptionsAndNulBytesStopTheScript) {
    Write("o.txt", "0 option difficulty easy\n0 option speed slow\n0 option difficulty hard\n"
                   "10 close\n");
    Result r = Run("--script o.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("o.txt:3: option 'difficulty' is 'hard' here but 'easy' on line 1"),
              std::string::npos)
        << r.err;
    // The same option twice with the same value contradicts nothing.
    Write("o.txt", "0 option speed slow\n0 option speed slow\n10 state s.json\n10 close\n");
    r = Run("--script o.txt");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Slurp(dir / "s.json").find("\"speed\":60,"), std::string::npos);

    Write("n.txt", std::string("0 key down 65\n10 key up 65\0 close\n20 close\n", 40));
    r = Run("--script n.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("n.txt:2: a NUL byte in the line"), std::string::npos) << r.err;
}

// Not built under a sanitizer, whose own bookkeeping weighs more than the
// script (a skip there would fail CI, which runs the sanitized suites too).
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
TEST_F(BadInput, AScriptTakesNoMoreMemoryThanItsText) {
    // The peak memory of a run of a short script and of a 20 MB one.
    const auto peakKb = [&](const std::string& script) {
        const pid_t child = ::fork();
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (::chdir(dir.c_str()) != 0 || null < 0) {
                ::_exit(126);
            }
            ::dup2(null, 1);
            ::dup2(null, 2);
            const std::string exe = (build / "morvek").string();
            ::execl(exe.c_str(), exe.c_str(), "--headless", "--script", script.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int raw = 0;
        struct rusage use {};
        EXPECT_EQ(::wait4(child, &raw, 0, &use), child);
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << script;
        return static_cast<long>(use.ru_maxrss);
    };
    Write("small.txt", "0 close\n");
    std::string big = "0 close\n";
    for (std::uint64_t ms = 1; big.size() < 20u << 20; ms += 10) {
        const std::string at = std::to_string(ms);
        big += at + " key down 0x20\n" + at + " key up 0x20\n";
    }
    Write("big.txt", big);
    const long sizeKb = static_cast<long>(big.size() >> 10);
    const long grown = peakKb("big.txt") - peakKb("small.txt");
    EXPECT_LT(grown, sizeKb * 3 / 2) << "a script of " << sizeKb << " KB took " << grown << " KB";
    std::printf("a script of %ld KB took %ld KB\n", sizeKb, grown);
}
#endif

} // namespace
