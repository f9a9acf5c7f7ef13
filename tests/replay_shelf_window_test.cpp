// The Replays screen in a window, on SDL's dummy video driver (no display
// needed; SDL_VIDEODRIVER=x11 under Xvfb shows it): keys and clicks choose
// and leave, and the program's run hears none of it, its clock and frame
// stay, and the close box still reaches it.
#include "display/Display.h"
#include "display/Host.h"
#include "display/Run.h"
#include "display/Sync.h"
#include "game/Rules.h"
#include "host/ReplayShelf.h"
#include "host/WholeRun.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

fs::path Recordings() {
    return fs::path(__FILE__).parent_path().parent_path() / "recordings";
}

std::string Get(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Key(SDL_Keycode sym, SDL_Scancode code) {
    for (const Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event e{};
        e.type = type;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = code;
        SDL_PushEvent(&e);
    }
}

void Click(std::int32_t x, std::int32_t y) {
    for (const Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event e{};
        e.type = type;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
}

// Until the window has taken what was pushed, then a little longer for the
// screen to act on it.
void Taken(std::chrono::milliseconds after) {
    for (int i = 0;
         i < 3000 && SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_MOUSEWHEEL) > 0;
         ++i) {
        std::this_thread::sleep_for(10ms);
    }
    std::this_thread::sleep_for(after);
}

class ShelfWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 0);
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 0);
        std::string error;
        ASSERT_TRUE(Display::Host::Running() || Display::Host::Start(error)) << error;
        Autopilot::WholeRun::FreshProgram(temp.path / "scores.txt");
        Display::Run::SetHeadless(false);
        Display::Window("Highscore", Display::kWidth, Display::kHeight);
        Display::Rectangle(100, 100, 300, 200, 0x00FF00, true);
        Display::UpdateWindow();
        ASSERT_TRUE(Display::Run::SetRecord((temp.path / "program.txt").string()));
        fs::create_directory(folder);
        const std::string rules = "0 option rules " + std::to_string(Morvek::kRulesVersion);
        for (const char* name : {"2026-03-04_10-00-00_00.txt", "2026-03-05_10-00-00_00.txt"}) {
            std::ofstream(folder / name, std::ios::binary) << Get(Recordings() / "two-games.txt");
        }
        frame = Display::Presented().pixels;
        clock = Display::Run::ClockMs();
    }
    void TearDown() override { Display::Run::Reset(); }

    // What the program's run heard meanwhile, once its next sync point has taken it.
    std::string Heard() {
        EXPECT_EQ(Display::Run::ClockMs(), clock) << "the program's clock moved";
        EXPECT_TRUE(Display::Presented().pixels == frame) << "the program's frame changed";
        Display::Sleep(1);
        Display::Run::Reset(); // closes the recording
        return Get(temp.path / "program.txt");
    }

    TestSupport::ScopedTempDir temp{"morvek-shelf-window"};
    fs::path folder = temp.path / "replays";
    Display::PixelBuffer frame;
    std::uint64_t clock = 0;
};

TEST_F(ShelfWindow, KeysPlayAReplayFastAndLeaveItAndTheScreenAndTheProgramHearsNone) {
    std::thread player([] {
        Taken(1000ms); // the list, its scores filling in
        Key(SDLK_DOWN, SDL_SCANCODE_DOWN);
        Key(SDLK_RETURN, SDL_SCANCODE_RETURN);
        Taken(1000ms);               // the newest replay playing
        Key(SDLK_f, SDL_SCANCODE_F); // faster, and faster again
        Key(SDLK_f, SDL_SCANCODE_F);
        Taken(1000ms);
        Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
        Taken(300ms); // the list again
        Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    });
    Program::ReplayShelf::Open(folder);
    player.join();
    EXPECT_EQ(Display::Run::EndAsked(), std::nullopt);
    const std::string heard = Heard();
    EXPECT_EQ(heard.find("key"), std::string::npos) << heard;
    EXPECT_EQ(heard.find("mouse down"), std::string::npos) << heard;
}

TEST_F(ShelfWindow, AClickPlaysTheBackButtonLeavesAndTheCloseBoxReachesTheProgram) {
    std::thread player([] {
        Taken(300ms);
        Click(300, 250); // the second row
        Taken(1000ms);
        Key(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
        Taken(300ms);
        Click(100, 690); // Return
    });
    Program::ReplayShelf::Open(folder);
    player.join();
    EXPECT_EQ(Heard().find("mouse down"), std::string::npos);

    SetUp();
    player = std::thread([] {
        Taken(300ms);
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    Program::ReplayShelf::Open(folder);
    player.join();
    Display::Sleep(1);
    EXPECT_EQ(Display::Run::EndAsked(), 0) << "the close box never reached the program";
}

TEST_F(ShelfWindow, NothingOpensHeadless) {
    Display::Run::SetHeadless(true);
    const auto started = std::chrono::steady_clock::now();
    Program::ReplayShelf::Open(folder); // would wait for a key
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

} // namespace
