// Times one tick of a crowded scene, its full Draw included, against the
// cheapest thing a frame could cost: copying four whole frames. Also reports
// how fast a scripted headless wave runs. Run from the build directory, so
// that the pictures in Media/ are drawn.
#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/combat/Enemies.h"
#include "game/combat/Lives.h"
#include "game/combat/TickOrder.h"
#include "game/core/Catalogue.h"
#include "game/core/Pause.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "host/Loop.h"
#include "util/Random.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace Morvek;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRuns = 400;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void OpenHeadless() {
    Display::Run::Reset();
    Display::Run::SetHeadless(true);
    Display::Window("Morvek", Display::kWidth, Display::kHeight);
    Display::SetBuffering(true);
    world = World{};
    Morvek::world.random = {};
    LoadPictures();
}

void NewDragon() {
    world.difficulty = Difficulty::Normal;
    world.tickMs = 30;
    world.dragon = {300, 420, 100, 100, 4, false, true, true, true, 3, 3};
    for (const std::uint32_t i : Slots(world.bullets)) {
        world.bullets[i].radius = 5;
    }
    world.counter = 1;
    world.difficultyHistory.fill(4);
    world.actualDifficulty = 4;
}

// Level 2 with everything in play: 100 shots, 30 enemies, 10 items,
// 5 explosions, the beam and the shield, 20 icicles.
void FullScene() {
    NewDragon();
    world.level = 2;
    for (std::uint32_t i = 1; i <= 30; ++i) {
        CreateEnemy(520 + 15 * static_cast<float>(i), 120 + 18 * static_cast<float>(i), i,
                    1 + i % 4, 1 + i % 2);
    }
    for (const std::uint32_t i : Slots(world.bullets)) {
        const float row = static_cast<float>(i % 10), col = static_cast<float>(i / 10);
        world.bullets[i] = {
            i % 2 == 0 ? 20.0f : -15.0f, 0, 100 + 85 * col, 90 + 64 * row, 5, true, i % 5};
    }
    for (const std::uint32_t i : Slots(1, kItemSlots)) {
        world.items[1 + i % 5][i] = {-2,   0,    150 + 60 * static_cast<float>(i), 650, 0, 0,
                                     true, false};
    }
    for (std::uint32_t i = 1; i <= 5; ++i) {
        world.explosions[i] = {3, 1 + i % 2, 400 + 40 * static_cast<float>(i), 300, true};
    }
    for (const std::uint32_t i : Slots(world.icicles)) {
        world.icicles[i] = {static_cast<std::int32_t>(40 * i + 100),
                            -100 + static_cast<std::int32_t>(i), true};
    }
    world.beamRunning = world.shieldRunning = true;
    world.growCounter = 20;
    world.dragon.beamReady = world.dragon.shieldReady = false;
}

// A whole tick of a wave as its battle plays it: the tick, its frame shown,
// its wait, the pause looked for and the tick settled.
void WaveTick() {
    WaveTickPlay();
    Draw(BattleScene{}, world);
    Display::UpdateWindow();
    Program::Perform({Wait::Kind::Tick, world.tickMs});
    PauseAsked();
    TickSettle(kWaveShape);
}

// A wave's battle stepped as the host's loop steps it, until it is done or
// the game is over and its screen left.
void PlayWave() {
    world.scenes = SceneStack{};
    world.scenes.Push(BattleScene{});
    world.mode = Mode::Wave;
    for (;;) {
        const Wait wait = Step(world);
        if (wait.kind == Wait::Kind::Quit) {
            return;
        }
        Draw(world);
        Display::UpdateWindow();
        Program::Perform(wait);
        if (Display::Run::EndAsked()) {
            return;
        }
    }
}

double SceneTickMs() {
    OpenHeadless();
    FullScene();
    const World scene = world; // each timed tick starts from the same scene
    std::vector<double> ms;
    for (int r = 0; r < kRuns; ++r) {
        world = scene;
        const auto t0 = Clock::now();
        WaveTick();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    return Median(ms);
}

double FloorMs() {
    const std::size_t frame = std::size_t{Display::kWidth} * Display::kHeight;
    std::vector<std::uint32_t> from(4 * frame, 0x123456), to(4 * frame);
    std::vector<double> ms;
    for (int r = 0; r < kRuns; ++r) {
        from[static_cast<std::size_t>(r)] = static_cast<std::uint32_t>(r);
        const auto t0 = Clock::now();
        for (int f = 0; f < 4; ++f) {
            std::memcpy(to.data() + f * frame, from.data() + f * frame, frame * 4);
        }
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        if (to[static_cast<std::size_t>(r)] != static_cast<std::uint32_t>(r)) {
            std::puts("copy lost");
        }
    }
    return Median(ms);
}

// A level-1 wave played from a script: the fire key held, Escape after a
// minute of game time, and the game-over screen left at once.
void ScriptedWaveTicksPerSecond() {
    OpenHeadless();
    NewDragon();
    world.level = 1;
    world.dragon.x = 60;
    world.dragon.y = 369;
    const auto script = std::filesystem::temp_directory_path() / "morvek-bench-wave.txt";
    std::ofstream(script) << "0 key down 0x20\n0 mouse move 100 680\n0 mouse down left\n"
                             "60000 key down 0x1B\n";
    std::string error;
    if (!Display::Run::LoadScript(script.string(), error)) {
        std::printf("wave script: %s\n", error.c_str());
        return;
    }
    std::uint32_t ticks = 0;
    double seconds = 0;
    for (int wave = 0; wave < 50 && !GameLost(); ++wave) {
        for (std::uint32_t i = 1; i <= 6; ++i) {
            CreateEnemy(930 + 40 * static_cast<float>(i % 3), 200 + 60 * static_cast<float>(i), i,
                        1 + i % 4, 1 + i % 2);
        }
        const std::uint32_t before = world.counter;
        const auto t0 = Clock::now();
        PlayWave();
        seconds += std::chrono::duration<double>(Clock::now() - t0).count();
        ticks += world.counter - before;
    }
    std::filesystem::remove(script);
    std::printf("headless scripted wave: %u ticks in %.3f s, %.0f ticks per second\n", ticks,
                seconds, seconds > 0 ? ticks / seconds : 0.0);
}

} // namespace

// game_bench.cpp
void WholeGameBench(const char* self);
void StartUpRound();
// leaderboard_bench.cpp
void LeaderboardBench();

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--start-up-round") {
        StartUpRound();
        return 0;
    }
    if (argc > 1 && std::string(argv[1]) == "--leaderboard") {
        LeaderboardBench();
        return 0;
    }
    if (!std::filesystem::exists("Media")) {
        std::puts("no Media/ here: pictures are not drawn (run from the build directory)");
    }
    WholeGameBench(argv[0]);
    ScriptedWaveTicksPerSecond();
    const double scene = SceneTickMs();
    const double floor = FloorMs();
    std::printf("scene tick median: %.3f ms\n", scene);
    std::printf("four frame copies median: %.3f ms\n", floor);
    std::printf("scene tick / floor: %.2f\n", scene / floor);
    LeaderboardBench();
    return 0;
}
