#include "display/Display.h"
#include "display/Run.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Display;
using Run::InputEvent;

namespace {

// A screen's wait for a key, as the name entry does it: false when the run
// asked to end instead (nothing more can come).
bool WaitKey(std::uint32_t& key) {
    while (!KeyQueued()) {
        if (Run::EndAsked()) {
            return false;
        }
        Run::WaitForInput();
    }
    key = TakeKey();
    return true;
}

std::uint32_t NextKey() {
    std::uint32_t key = 0;
    EXPECT_TRUE(WaitKey(key)) << "the run ended waiting for a key";
    return key;
}

class RunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::Fresh();
        Run::SetStateWriter(StateDump::WriteState);
    }
    void TearDown() override { Run::Reset(); }

    static std::vector<InputEvent> Parse(const std::string& text) {
        std::vector<InputEvent> events;
        std::string error;
        EXPECT_TRUE(Run::ParseScript(text, "t.txt", events, error)) << error;
        return events;
    }
    static std::string ParseError(const std::string& text) {
        std::vector<InputEvent> events;
        std::string error;
        EXPECT_FALSE(Run::ParseScript(text, "demo.txt", events, error));
        return error;
    }
    // A pointer move and click, a key and a lost focus, as the window's thread posts them.
    static void PostLiveMix(std::uint32_t key, std::int32_t x, std::int32_t y) {
        for (auto kind : {InputEvent::MouseMove, InputEvent::MouseDown, InputEvent::KeyDown,
                          InputEvent::FocusLost}) {
            InputEvent e;
            e.kind = kind;
            e.code = kind == InputEvent::KeyDown ? key : 0;
            e.x = x;
            e.y = y;
            Run::Post(e);
        }
    }
    static std::string Slurp(const std::string& file) {
        std::ifstream in(file);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(RunTest, ScriptLinesReadAndWriteBackAlike) {
    const std::string text = "# demo\n"
                             "\n"
                             "0 mouse move 175 -3   # the New Game button\n"
                             "20 mouse down left\n"
                             "40 mouse up right\n"
                             "100 key down 0x25\n"
                             "100 key up 32\n"
                             "250 shot shots/my menu.bmp\n"
                             "260 state a.json\r\n"
                             "300 close\n";
    const auto events = Parse(text);
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(events[0].y, -3);
    EXPECT_EQ(events[2].code, 1u);
    EXPECT_EQ(events[4].kind, InputEvent::KeyUp);
    EXPECT_EQ(events[4].code, 32u);
    EXPECT_EQ(events[5].file, "shots/my menu.bmp");
    EXPECT_EQ(events[6].file, "a.json");
    std::string again;
    for (const auto& e : events) {
        again += Run::FormatEvent(e) + "\n";
    }
    EXPECT_EQ(again, "0 mouse move 175 -3\n20 mouse down left\n40 mouse up right\n"
                     "100 key down 0x25\n100 key up 0x20\n250 shot shots/my menu.bmp\n"
                     "260 state a.json\n300 close\n");
    EXPECT_EQ(Parse(again).size(), 8u);
}

TEST_F(RunTest, BadScriptLinesNameFileLineAndFault) {
    EXPECT_EQ(ParseError("0 key down 0x41\n\n5 key down 256\n"),
              "demo.txt:3: bad key code '256' (0..255, decimal or 0x hex)");
    EXPECT_EQ(ParseError("x key down 1\n"), "demo.txt:1: bad time 'x'");
    EXPECT_EQ(ParseError("-5 key down 1\n"), "demo.txt:1: bad time '-5'");
    EXPECT_EQ(ParseError("50 close\n40 close\n"),
              "demo.txt:2: time 40 is before the line above (50)");
    EXPECT_EQ(ParseError("1 jump\n"), "demo.txt:1: unknown event 'jump'");
    EXPECT_EQ(ParseError("1 key down\n"), "demo.txt:1: 'key' needs more words");
    EXPECT_EQ(ParseError("1 key press 4\n"), "demo.txt:1: expected 'down' or 'up', not 'press'");
    EXPECT_EQ(ParseError("1 mouse move 1 2 3\n"), "demo.txt:1: unexpected '3'");
    EXPECT_EQ(ParseError("1 mouse move 1 y\n"), "demo.txt:1: bad coordinate 'y'");
    EXPECT_EQ(ParseError("1 mouse down middle\n"),
              "demo.txt:1: expected 'left' or 'right', not 'middle'");
    EXPECT_EQ(ParseError("1 shot # no file\n"), "demo.txt:1: 'shot' needs a file name");
    EXPECT_EQ(ParseError("1 close now\n"), "demo.txt:1: unexpected 'now'");
    EXPECT_EQ(ParseError("7\n"), "demo.txt:1: missing event after the time");
    EXPECT_EQ(ParseError("1 shot a/../../b.bmp\n"),
              "demo.txt:1: may only write inside the working directory, not 'a/../../b.bmp'");
    EXPECT_EQ(ParseError("1 state /etc/x\n"),
              "demo.txt:1: may only write inside the working directory, not '/etc/x'");
    EXPECT_EQ(ParseError("1 key down 3\n2 \x1b]0;" + std::string(100, 'z') + "\n"),
              "demo.txt:2: unknown event '?]0;" + std::string(36, 'z') + "...'");
    EXPECT_EQ(ParseError(std::string("1 key down 3\n2 key up 3\0 close\n", 28)),
              "demo.txt:2: a NUL byte in the line");
    EXPECT_EQ(ParseError(std::string("1 key down 3 # a comment \0\n", 28)),
              "demo.txt:1: a NUL byte in the line");
    EXPECT_EQ(ParseError("5 key down 3\n18446744073709551615 close\n"),
              "demo.txt:2: time 18446744073709551615 is past the clock's end "
              "(1000000000000000000)");
    EXPECT_EQ(ParseError("1000000000000000001 close\n"),
              "demo.txt:1: time 1000000000000000001 is past the clock's end "
              "(1000000000000000000)");
    EXPECT_EQ(Parse("1000000000000000000 close\n").size(), 1u);
    EXPECT_EQ(ParseError("demo\x1b]0;\n"), "demo.txt:1: bad time 'demo?]0;'");

    std::string error;
    EXPECT_FALSE(Run::LoadScript("no/such/script.txt", error));
    EXPECT_EQ(error, "no/such/script.txt: No such file or directory");
}

TEST_F(RunTest, EventsApplyAtTheFirstSyncPointAtOrPastTheirStamp) {
    Run::SetScript(Parse("25 key down 0x20\n30 mouse move 4 5\n61 key up 0x20\n"));
    Sleep(20);
    EXPECT_FALSE(KeyDown(0x20));
    Sleep(10); // clock 30: both the key and the move are due
    EXPECT_TRUE(KeyDown(0x20));
    std::int32_t x = 0, y = 0;
    MousePos(x, y);
    EXPECT_EQ(x, 4);
    Sleep(30);
    EXPECT_TRUE(KeyDown(0x20));
    Sleep(30);
    EXPECT_FALSE(KeyDown(0x20));
    EXPECT_EQ(Run::ClockMs(), 90u);
}

TEST_F(RunTest, AWaitForInputTakesVirtualTimeToTheNextScriptedKey) {
    Run::SetScript(Parse("5000 mouse move 1 1\n9000 key down 0x4E\n9000 key up 0x4E\n"));
    Sleep(20);
    EXPECT_EQ(NextKey(), 0x4Eu);
    EXPECT_EQ(Run::ClockMs(), 9000u);
    EXPECT_FALSE(KeyDown(0x4E)); // the key up of the same stamp came along
    EXPECT_EQ(TakeKey(), 0u) << "an empty queue gives nothing and never waits";
    EXPECT_FALSE(Run::EndAsked());
    std::uint32_t key = 0;
    EXPECT_FALSE(WaitKey(key)) << "nothing can ever come";
    EXPECT_EQ(Run::EndAsked(), 0);
}

TEST_F(RunTest, HeadlessRunAsksToEndTenIdleMinutesAfterTheLastEvent) {
    Run::SetScript(Parse("1000 key down 0x41\n"));
    int passes = 0;
    while (passes < 40000 && !Run::EndAsked()) {
        Sleep(20);
        ++passes;
    }
    EXPECT_EQ(Run::EndAsked(), 0);
    EXPECT_EQ(Run::ClockMs(), 601020u);
}

TEST_F(RunTest, CloseAsksTheRunToEndAtItsSyncPointAndNoInputFollows) {
    Run::SetScript(Parse("40 close\n40 key down 0x41\n60 key down 0x42\n"));
    Sleep(20);
    EXPECT_FALSE(Run::EndAsked());
    Sleep(20);
    EXPECT_EQ(Run::EndAsked(), 0);
    EXPECT_EQ(Run::ClockMs(), 40u);
    Sleep(20);
    Run::WaitForInput();
    EXPECT_FALSE(KeyDown(0x41));
    EXPECT_FALSE(KeyDown(0x42));
    EXPECT_EQ(TakeKey(), 0u);
    Run::AskEnd(5);
    EXPECT_EQ(Run::EndAsked(), 0) << "the first request holds";
}

// A small game of our own: the dragon moves with the arrows and every space
// press scores, in both Sleep-driven and key-waiting phases.
void TinyGame() {
    using namespace Morvek;
    for (int tick = 0; tick < 200; ++tick) {
        world.counter += 1;
        world.dragon.x += KeyDown(0x27) ? 3.5f : 0.0f;
        world.dragon.y += KeyDown(0x28) ? 2.25f : 0.0f;
        std::int32_t mx = 0, my = 0;
        MousePos(mx, my);
        world.score += static_cast<std::uint32_t>(mx) % 7 + (MouseLeft() ? 1 : 0);
        Sleep(30);
    }
    for (int i = 0; i < 5; ++i) {
        world.score = world.score * 31 + NextKey();
    }
}

TEST_F(RunTest, RecordingReplaysToTheSameState) {
    const std::string recordFile = "run_test_record.txt";
    const std::string stateA = "run_test_a.json";
    ASSERT_TRUE(Run::SetRecord(recordFile));
    // Live input too, as a window's thread would hand it over before a
    // script starts (once it plays, the script alone steers).
    InputEvent live;
    live.kind = InputEvent::KeyDown;
    live.code = 0x20;
    Run::Post(live);
    Run::SetScript(Parse("45 key down 0x27\n"
                         "100 mouse move 33 12\n"
                         "125 mouse down left\n"
                         "300 key up 0x27\n"
                         "301 key down 0x28\n"
                         "302 key down 0x28\n"
                         "900 mouse up left\n"
                         "5000 key up 0x28\n"
                         "5000 state " +
                         stateA +
                         "\n"
                         "7000 key down 0x41\n"));
    TinyGame();
    const std::string first = StateDump::StateJson();
    EXPECT_EQ(Run::ClockMs(), 7000u); // the last wait for a key waited for its key
    EXPECT_NE(Slurp(stateA).find("\"clock_ms\":5010,"), std::string::npos);
    Sleep(700000);
    EXPECT_EQ(Run::EndAsked(), 0);

    TestWorld::Fresh(); // closes the recording
    std::string error;
    ASSERT_TRUE(Run::LoadScript(recordFile, error)) << error;
    TinyGame();
    EXPECT_EQ(StateDump::StateJson(), first);
    EXPECT_GT(Morvek::world.dragon.x, 0.0f);
    EXPECT_GT(Morvek::world.dragon.y, 0.0f);
    std::remove(recordFile.c_str());
    std::remove(stateA.c_str());
}

TEST_F(RunTest, StateDumpListsEnemiesAndCountsSlots) {
    using namespace Morvek;
    TestWorld::NewGameState();
    world.enemies[7].state = true;
    world.enemies[7].type = 3;
    world.enemies[7].x = 1.0f / 3.0f;
    world.bullets[1].state = world.bullets[100].state = true;
    world.items[5][10].state = true;
    world.items[6][1].state = true; // row 6 is not an item
    SetTitle("Game Over");
    const std::string json = StateDump::StateJson();
    EXPECT_NE(json.find("\"title\":\"Game Over\""), std::string::npos);
    EXPECT_NE(json.find("\"difficulty_setting\":1.000"), std::string::npos);
    EXPECT_NE(json.find("\"enemies\":[{\"slot\":7,\"type\":3,\"path\":0,\"x\":0.333,"),
              std::string::npos);
    EXPECT_NE(json.find("\"bullets\":2,\"explosions\":0,\"items\":1}"), std::string::npos);
    EXPECT_NE(json.find("\"schip\":{\"x\":60.000,\"y\":369.000,\"health\":100"), std::string::npos);
}

// Dumps taken before the setting had names carry its multiplier; they must still compare equal.
TEST_F(RunTest, StateDumpShowsTheDifficultyAsItsMultiplier) {
    using namespace Morvek;
    TestWorld::NewGameState();
    for (const auto& [d, shown] :
         {std::pair{Difficulty::Easy, "0.000"}, std::pair{Difficulty::Normal, "1.000"},
          std::pair{Difficulty::Hard, "2.000"}}) {
        world.difficulty = d;
        EXPECT_NE(StateDump::StateJson().find("\"difficulty_setting\":" + std::string(shown) + ","),
                  std::string::npos)
            << shown;
    }
}

TEST_F(RunTest, UnwritableStateOrShotSaysWhyAndTheRunEndsNonZero) {
    std::ofstream("run_test_file") << "in the way\n";
    Run::SetScript(Parse("10 state run_test_file/s.json\n10 shot run_test_file/s.bmp\n"
                         "20 key down 65\n"));
    testing::internal::CaptureStderr();
    Sleep(30);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot write the state 'run_test_file/s.json': Not a directory"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("cannot write the picture 'run_test_file/s.bmp': Not a directory"),
              std::string::npos)
        << err;
    EXPECT_TRUE(KeyDown(65)); // the run went on
    std::remove("run_test_file");
}

#ifndef _WIN32 // links and FIFOs
// Links and FIFOs put where a script will write after it was read: the
// write refuses them at once, names the script's line, and the run goes on.
TEST_F(RunTest, ALinkOrFifoPlantedAfterTheScriptWasReadIsNeverFollowedNorWaitedOn) {
    namespace fs = std::filesystem;
    const fs::path outside =
        fs::temp_directory_path() / ("run_test_out_" + std::to_string(::getpid()));
    fs::create_directories(outside);
    std::ofstream("run_test_script.txt") << "# planted\n10 shot run_test_link.bmp\n"
                                            "10 state run_test_link.json\n"
                                            "10 state run_test_fifo.json\n20 key down 65\n";
    std::string error;
    ASSERT_TRUE(Run::LoadScript("run_test_script.txt", error)) << error;
    fs::create_symlink(outside / "p.bmp", "run_test_link.bmp");
    fs::create_symlink(outside / "s.json", "run_test_link.json");
    ASSERT_EQ(::mkfifo("run_test_fifo.json", 0600), 0);
    testing::internal::CaptureStderr();
    auto played = std::async(std::launch::async, [] { Sleep(30); });
    if (played.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        // Opened for reading, the FIFO lets the stuck write go.
        const int reader = ::open("run_test_fifo.json", O_RDONLY | O_NONBLOCK);
        played.wait();
        ::close(reader);
        ADD_FAILURE() << "the state waited for a reader of the FIFO";
    }
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("run_test_script.txt:2: cannot write the picture 'run_test_link.bmp': it "
                       "is a symbolic link"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("run_test_script.txt:3: cannot write the state 'run_test_link.json': it "
                       "is a symbolic link"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("run_test_script.txt:4: cannot write the state 'run_test_fifo.json': it "
                       "is a FIFO"),
              std::string::npos)
        << err;
    EXPECT_FALSE(fs::exists(outside / "p.bmp"));
    EXPECT_FALSE(fs::exists(outside / "s.json"));
    EXPECT_TRUE(fs::is_symlink("run_test_link.bmp"));
    EXPECT_TRUE(KeyDown(65)); // the run went on
    fs::remove_all(outside);
    for (const char* planted :
         {"run_test_script.txt", "run_test_link.bmp", "run_test_link.json", "run_test_fifo.json"}) {
        fs::remove(planted);
    }
}
#endif

// The game names its own files and folders at start; a script handed over
// whole (not read, so not checked) still never writes them.
TEST_F(RunTest, TheGamesOwnFilesAreRefusedWhenTheScriptPlays) {
    namespace fs = std::filesystem;
    fs::create_directories("run_test_media");
    std::ofstream("run_test_media/Back1.bmp") << "the game's picture";
    std::ofstream("run_test_table.txt") << "MORVEK 100";
    Run::ProtectFile("run_test_table.txt");
    Run::ProtectFolder("run_test_media");
    EXPECT_EQ(Run::RefuseOutput("run_test_table.txt.bak.2"),
              "may not write 'run_test_table.txt.bak.2', one of the game's own files");
    EXPECT_EQ(Run::RefuseOutput("run_test_media/x.bmp"),
              "may not write 'run_test_media/x.bmp', one of the game's own files");
    EXPECT_EQ(Run::RefuseOutput("run_test_table.json"), "");
    Run::SetScript({{10, InputEvent::State, 0, 0, 0, "run_test_table.txt", 0},
                    {10, InputEvent::Shot, 0, 0, 0, "run_test_media/Back1.bmp", 0},
                    {10, InputEvent::State, 0, 0, 0, "./run_test_media/deep/s.json", 0},
                    {20, InputEvent::KeyDown, 65, 0, 0, {}, 0}});
    testing::internal::CaptureStderr();
    Sleep(30);
    const std::string err = testing::internal::GetCapturedStderr();
    for (const char* own : {"state 'run_test_table.txt'", "picture 'run_test_media/Back1.bmp'",
                            "state './run_test_media/deep/s.json'"}) {
        EXPECT_NE(err.find("cannot write the " + std::string(own) +
                           ": it is one of the game's own files"),
                  std::string::npos)
            << err;
    }
    EXPECT_EQ(Slurp("run_test_table.txt"), "MORVEK 100");
    EXPECT_EQ(Slurp("run_test_media/Back1.bmp"), "the game's picture");
    EXPECT_FALSE(fs::exists("run_test_media/deep"));
    EXPECT_TRUE(KeyDown(65));
    fs::remove_all("run_test_media");
    fs::remove("run_test_table.txt");
}

TEST_F(RunTest, StateCreatesItsFolders) {
    Run::SetScript(Parse("10 state run_test_dir/deep/s.json\n"));
    Sleep(10);
    EXPECT_NE(Slurp("run_test_dir/deep/s.json").find("\"clock_ms\":10"), std::string::npos);
    std::filesystem::remove_all("run_test_dir");
}

TEST_F(RunTest, AQuickLiveClickIsHeldForOneSyncPoint) {
    for (auto kind : {InputEvent::MouseDown, InputEvent::MouseUp, InputEvent::KeyDown,
                      InputEvent::KeyUp, InputEvent::MouseMove}) {
        InputEvent e;
        e.kind = kind;
        e.code = kind == InputEvent::KeyDown || kind == InputEvent::KeyUp ? 0x0D : 0;
        e.x = 9;
        Run::Post(e);
    }
    Sleep(20);
    EXPECT_TRUE(MouseLeft());
    EXPECT_FALSE(KeyDown(0x0D)); // held back behind the button's release
    Sleep(20);
    EXPECT_FALSE(MouseLeft());
    EXPECT_TRUE(KeyDown(0x0D));
    Sleep(20);
    EXPECT_FALSE(KeyDown(0x0D));
    std::int32_t x = 0, y = 0;
    MousePos(x, y);
    EXPECT_EQ(x, 9);
    EXPECT_EQ(TakeKey(), 0x0Du);
}

TEST_F(RunTest, QuickLiveTapsAreEachSeenAsAPress) {
    // Three taps of an arrow inside one sync point, a repeat among them.
    for (auto kind :
         {InputEvent::KeyDown, InputEvent::KeyDown, InputEvent::KeyUp, InputEvent::KeyDown,
          InputEvent::KeyUp, InputEvent::KeyDown, InputEvent::KeyUp}) {
        InputEvent e;
        e.kind = kind;
        e.code = 0x26;
        Run::Post(e);
    }
    std::string levels;
    for (int pass = 0; pass < 7; ++pass) {
        Sleep(20);
        levels += KeyDown(0x26) ? 'D' : 'u';
    }
    EXPECT_EQ(levels, "DuDuDuu");
    for (int typed = 0; typed < 4; ++typed) { // the repeat is typed too
        EXPECT_EQ(TakeKey(), 0x26u);
    }
}

TEST_F(RunTest, WithThePointerOffOnlyKeysAndTheCloseBoxGetThrough) {
    Run::SetLivePointer(false);
    PostLiveMix('M', 305, 0);
    Sleep(20);
    std::int32_t x = 0, y = 0;
    MousePos(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_FALSE(MouseLeft());
    EXPECT_TRUE(Focused());
    EXPECT_TRUE(KeyDown('M'));
    InputEvent close;
    close.kind = InputEvent::Close;
    Run::Post(close);
    Sleep(20);
    EXPECT_EQ(Run::EndAsked(), 0);
}

// Live input posted between two sync points, as the window's events come
// while the game waits: each move whole, every key press kept, in order.
TEST_F(RunTest, LiveInputPostedBetweenSyncPointsArrivesWholeAndInOrder) {
    constexpr int kEvents = 2000;
    std::int32_t lastX = 0;
    for (int i = 1; i <= kEvents; ++i) {
        InputEvent e;
        e.kind = InputEvent::MouseMove;
        e.x = i;
        e.y = -i;
        Run::Post(e);
        e.kind = InputEvent::KeyDown;
        e.code = static_cast<std::uint32_t>(i % 256);
        Run::Post(e);
        if (i % 7 == 0) {
            Sleep(1);
            std::int32_t x = 0, y = 0;
            MousePos(x, y);
            ASSERT_EQ(x, -y);
            ASSERT_GE(x, lastX);
            lastX = x;
        }
    }
    Sleep(1);
    for (int i = 1; i <= kEvents; ++i) {
        ASSERT_EQ(TakeKey(), static_cast<std::uint32_t>(i % 256));
    }
}

} // namespace

TEST_F(RunTest, WhileAScriptPlaysLiveInputIsKeptOutButCloseStillEnds) {
    Run::SetScript(Parse("40 mouse move 7 8\n1000 key down 65\n"));
    PostLiveMix(0x0D, 512, 384);
    Sleep(60);
    std::int32_t x = 0, y = 0;
    MousePos(x, y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_FALSE(MouseLeft());
    EXPECT_FALSE(KeyDown(0x0D));
    InputEvent close;
    close.kind = InputEvent::Close;
    Run::Post(close);
    Sleep(20);
    EXPECT_EQ(Run::EndAsked(), 0);
}
