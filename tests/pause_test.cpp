// The pause: it holds a wave between two ticks, changes nothing of the game,
// and is part of a recording like any other input.
#include "display/Display.h"
#include "display/Layer.h"
#include "display/Run.h"
#include "display/Sync.h"
#include "game/combat/Enemies.h"
#include "game/core/Catalogue.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "host/WholeRun.h"
#include "support/JsonText.h"
#include "support/Steps.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace Morvek;
using Display::Run::InputEvent;
using Events = std::vector<InputEvent>;

constexpr std::uint32_t kP = 0x50;
constexpr std::uint32_t kPauseKey = 0x13; // a gamepad's Start too

InputEvent Key(std::uint64_t ms, bool down, std::uint32_t code) {
    return {ms, down ? InputEvent::KeyDown : InputEvent::KeyUp, code, 0, 0, {}};
}
InputEvent Focus(std::uint64_t ms, bool gained) {
    return {ms, gained ? InputEvent::FocusGained : InputEvent::FocusLost, 0, 0, 0, {}};
}

// The world without the clock, which a pause is allowed to move.
std::string World() {
    return TestSupport::WithoutNumber(StateDump::StateJson(), "clock_ms");
}

// A wave of two enemies, `ticks` ticks played on `events` (stamped from now),
// the last one up to its frame shown.
std::string PlayTicks(int ticks, Events events, std::function<void()> hook = nullptr) {
    TestWorld::NewGameState();
    LoadPictures(); // the scene's pixels decide whether the dragon lives
    CreateEnemy(700, 250, 1, 2, 1);
    CreateEnemy(800, 450, 2, 1, 3);
    Display::Run::SetScript(std::move(events));
    Display::Run::SetSyncHook(std::move(hook));
    BattleScene battle;
    battle.at = BattleScene::At::Tick; // past the glide-in
    Steps::InGame(battle);
    EXPECT_TRUE(Steps::Ticks(static_cast<std::uint64_t>(ticks)));
    EXPECT_EQ(world.mode, Mode::Wave);
    return World();
}

class Pause : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
    }
    void TearDown() override { Display::Run::Reset(); }
};

struct Watch {
    std::size_t points = 0; // sync points seen while paused
    bool frozen = true;     // the world never moved while paused
    bool banner = true;     // the shown frame was darker than the back buffer while paused
};

TEST_F(Pause, HoldsTheWaveAndChangesNothingButTheClock) {
    const std::string plain = PlayTicks(12, {});
    const std::uint64_t plainMs = Display::Run::ClockMs();

    // P or the Pause key is seen at the fourth tick's sleep; a second press goes on.
    for (const std::uint32_t key : {kP, kPauseKey}) {
        SCOPED_TRACE(key);
        Watch watch;
        std::string frozenAt;
        auto hook = [&] {
            const std::uint64_t ms = Display::Run::ClockMs();
            if (ms <= 4 * 30 || ms > 400) {
                return;
            }
            ++watch.points;
            frozenAt = frozenAt.empty() ? World() : frozenAt;
            watch.frozen = watch.frozen && World() == frozenAt;
            auto& frame = Display::Presented();
            const std::size_t mid = 384 * 1024 + 100;
            watch.banner =
                watch.banner && frame.pixels[mid] == ((Display::backbuffer[mid] >> 2) & 0x3F3F3F);
        };
        const std::string paused = PlayTicks(
            12,
            {Key(100, true, key), Key(140, false, key), Key(390, true, key), Key(420, false, key)},
            hook);

        EXPECT_EQ(paused, plain);
        EXPECT_EQ(Display::Run::ClockMs(), plainMs + 280); // 14 passes of 20 ms
        EXPECT_EQ(watch.points, 14u);
        EXPECT_TRUE(watch.frozen);
        EXPECT_TRUE(watch.banner);
        // Going on puts the frame back as the game drew it.
        EXPECT_EQ(Display::Presented().pixels, Display::backbuffer);
        Display::Run::Reset();
    }
}

TEST_F(Pause, PKeysAreNotLeftForTheNameEntry) {
    PlayTicks(3, {Key(10, true, kP), Key(40, false, kP), Key(50, true, 'A'), Key(60, false, 'A'),
                  Key(90, true, kP), Key(100, false, kP)});
    Display::Run::SetScript({});
    EXPECT_EQ(Display::TakeKey(), static_cast<std::uint32_t>('A'));
    Display::Run::Reset();
}

TEST_F(Pause, LosingTheFocusPausesOnlyWhenItHappensInPlay) {
    // Lost and won back before the wave: no pause. Lost in play: a pause,
    // which the Pause key ends even before the focus is back.
    const std::string plain = PlayTicks(6, {});
    const std::uint64_t plainMs = Display::Run::ClockMs();
    const std::string paused =
        PlayTicks(6, {Focus(0, false), Focus(5, true), Focus(70, false), Key(200, true, kPauseKey),
                      Key(230, false, kPauseKey), Focus(300, true)});
    EXPECT_EQ(paused, plain);
    EXPECT_EQ(Display::Run::ClockMs(), plainMs + 120); // paused at 90, going on at 210
    Display::Run::Reset();
}

TEST(PauseScript, FocusEventsAreScriptLines) {
    Events events;
    std::string error;
    ASSERT_TRUE(
        Display::Run::ParseScript("5 focus lost\n9 focus gained # back\n", "f.txt", events, error))
        << error;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, InputEvent::FocusLost);
    EXPECT_EQ(Display::Run::FormatEvent(events[0]), "5 focus lost");
    EXPECT_EQ(Display::Run::FormatEvent(events[1]), "9 focus gained");
    EXPECT_FALSE(Display::Run::ParseScript("5 focus away\n", "f.txt", events, error));
    EXPECT_EQ(error, "f.txt:1: expected 'lost' or 'gained', not 'away'");
    EXPECT_FALSE(Display::Run::ParseScript("5 focus\n", "f.txt", events, error));
}

// A whole program run with pauses, recorded, then replayed from its recording.
TEST_F(Pause, ARecordedRunWithPausesReplaysToTheSameStates) {
    const TestSupport::ScopedTempDir temp("morvek-pause-test");
    const fs::path& dir = temp.path;
    const fs::path recording = dir / "run.txt";
    const std::string script =
        "0 mouse move 175 175\n20 mouse down left\n40 mouse up left\n"
        "100 key down 0x27\n700 key down 0x50\n740 key up 0x50\n"
        "900 state a\n1100 state b\n1200 key down 0x50\n"
        "1240 key up 0x50\n1500 key up 0x27\n1600 focus lost\n"
        "1700 focus gained\n2000 state c\n2100 key down 0x13\n2140 key up 0x13\n"
        "2500 state d\n2600 key down 0x1B\n2700 key up 0x1B\n"
        "2800 mouse move 100 700\n2820 mouse down left\n"
        "2840 mouse up left\n2900 mouse move 175 575\n"
        "2920 mouse down left\n";
    Events events;
    std::string error;
    ASSERT_TRUE(Display::Run::ParseScript(script, "pause.txt", events, error)) << error;
    const auto first = Autopilot::WholeRun::RunProgram(dir / "scores.txt", [&] {
        Display::Run::SetScript(events);
        ASSERT_TRUE(Display::Run::SetRecord(recording.string()));
    });
    std::stringstream text;
    text << std::ifstream(recording).rdbuf(); // closed at once: Windows removes no open file
    EXPECT_NE(text.str().find(" focus lost\n"), std::string::npos);
    EXPECT_NE(text.str().find(" key down 0x50\n"), std::string::npos);
    Events replayed;
    ASSERT_TRUE(Display::Run::ParseScript(text.str(), recording.string(), replayed, error))
        << error;
    const auto second = Autopilot::WholeRun::RunProgram(dir / "scores.txt",
                                                        [&] { Display::Run::SetScript(replayed); });
    fs::remove_all(dir);

    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first.back().at, "end");
    ASSERT_EQ(second.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].state, first[i].state) << "at " << first[i].at;
    }
    // Paused at a and at b: the game stood still from one to the other; it
    // ran between b and c, paused by the focus, and runs again at d.
    auto counterOf = [](const std::string& state) {
        constexpr std::string_view kCounter = "\"counter\":";
        const std::size_t at = state.find(kCounter);
        EXPECT_NE(at, std::string::npos) << "no counter in " << state;
        const std::size_t from = at == std::string::npos ? state.size() : at + kCounter.size();
        return state.substr(from, state.find_first_not_of("0123456789", from) - from);
    };
    EXPECT_EQ(counterOf(first[0].state), counterOf(first[1].state));
    EXPECT_NE(counterOf(first[1].state), counterOf(first[2].state));
    EXPECT_NE(counterOf(first[2].state), counterOf(first[3].state));
}

// Headless, a pause or a lost focus waits as the menus do: straight on to
// the script's next event, in whole passes of 20 ms, so every state is the
// one a run that steps through each pass reaches (a sync hook stops the skip).
TEST_F(Pause, AHeadlessPauseSkipsToTheNextEventOnItsOwnGrid) {
    const TestSupport::ScopedTempDir temp("morvek-pause-skip");
    const std::string script =
        "0 mouse move 175 175\n20 mouse down left\n40 mouse up left\n"
        "100 key down 0x27\n700 key down 0x50\n740 key up 0x50\n"
        "747 state a\n5013 state b\n900007 state c\n900007 key down 0x50\n"
        "900040 key up 0x50\n901500 key up 0x27\n901503 focus lost\n"
        "1700001 state d\n1700001 focus gained\n1700011 key down 0x13\n1700060 key up 0x13\n"
        "1700500 state e\n1700600 key down 0x1B\n1700700 key up 0x1B\n"
        "1700800 mouse move 100 700\n1700820 mouse down left\n"
        "1700840 mouse up left\n1700900 mouse move 175 575\n"
        "1700920 mouse down left\n";
    Events events;
    std::string error;
    ASSERT_TRUE(Display::Run::ParseScript(script, "skip.txt", events, error)) << error;
    const auto skipped = Autopilot::WholeRun::RunProgram(temp.path / "scores.txt",
                                                         [&] { Display::Run::SetScript(events); });
    const auto stepped = Autopilot::WholeRun::RunProgram(temp.path / "scores.txt", [&] {
        Display::Run::SetScript(events);
        Display::Run::SetSyncHook([] {});
    });
    ASSERT_EQ(skipped.size(), 6u);
    ASSERT_EQ(stepped.size(), skipped.size());
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        EXPECT_EQ(skipped[i].state, stepped[i].state) << "at " << skipped[i].at;
    }
    EXPECT_NE(skipped[2].state.find("\"clock_ms\":900010,"), std::string::npos) << skipped[2].state;
}

} // namespace

// P tapped while the wave glides in, when no tick can pause yet, is kept for
// the first tick that can; a P held from before the wave pauses nothing.
TEST_F(Pause, APressWhileTheWaveGlidesInPausesAtItsFirstTick) {
    for (const bool tapped : {true, false}) {
        SCOPED_TRACE(tapped ? "tapped in the glide" : "held from before");
        TestWorld::NewGameState();
        LoadPictures();
        CreateEnemy(700, 250, 1, 2, 1);
        Events events{Key(30, true, kP), Key(60, false, kP)};
        if (!tapped) {
            Display::Run::Apply(Key(0, true, kP));
            world.pauseKeyWasDown = true;
            events = {Key(1000, false, kP)};
        }
        Display::Run::SetScript(std::move(events));
        Steps::InGame(BattleScene{}); // from the glide-in
        bool paused = false;
        ASSERT_TRUE(Steps::Until([&paused] {
            paused = paused || world.mode == Mode::Paused;
            return paused || world.counter > 5;
        }));
        EXPECT_EQ(paused, tapped);
        if (tapped) {
            EXPECT_LE(world.counter, 3u) << "the pause came at the first tick";
        }
        Display::Run::Reset();
    }
}
