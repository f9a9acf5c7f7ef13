// Drives a screen headless from a list of timed input events, the way a
// script would, and keeps the highscore file in a directory of its own.
#pragma once

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/ScoreFile.h"
#include "host/Loop.h"
#include "support/Pictures.h"
#include "support/Steps.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace ScreenRun {

using Display::Run::InputEvent;
using Events = std::vector<InputEvent>;

inline InputEvent Move(std::uint64_t ms, std::int32_t x, std::int32_t y) {
    return {ms, InputEvent::MouseMove, 0, x, y, {}};
}
inline InputEvent Down(std::uint64_t ms) {
    return {ms, InputEvent::MouseDown, 0, 0, 0, {}};
}
inline InputEvent Up(std::uint64_t ms) {
    return {ms, InputEvent::MouseUp, 0, 0, 0, {}};
}
inline InputEvent Close(std::uint64_t ms) {
    return {ms, InputEvent::Close, 0, 0, 0, {}};
}
// A key pressed and let go at once.
inline void Key(Events& e, std::uint64_t ms, std::uint32_t code) {
    e.push_back({ms, InputEvent::KeyDown, code, 0, 0, {}});
    e.push_back({ms, InputEvent::KeyUp, code, 0, 0, {}});
}

// Makes `events`, stamped from now on, the run's script. A run that has
// ended (closed, or out of input) takes none: a test starts a fresh one.
inline void Script(Events events) {
    EXPECT_FALSE(Display::Run::EndAsked()) << "the run ended before this script";
    for (auto& e : events) {
        e.ms += Display::Run::ClockMs();
    }
    Display::Run::SetScript(std::move(events));
}

// The scenes a screen is opened above; none, and it stands alone.
using Below = std::vector<Morvek::Scene>;

inline void Under(const Below& below) {
    Morvek::world.scenes = Morvek::SceneStack{};
    for (const auto& scene : below) {
        Morvek::world.scenes.Push(scene);
    }
}

// Opens `scene` above `below` and steps it on the events; true if it was
// done, false if the run ended first (closed, or waiting for input that never
// comes).
inline bool Play(Events events, const Morvek::Scene& scene, const Below& below = {}) {
    Script(std::move(events));
    Under(below);
    return Steps::Run(scene);
}

// Opens `scene` above `below` and steps it on the events for `ms` of the
// run's time; true if it is still open then. It is left open, to be looked
// at, and the run goes on: the next Play or Hold starts from its clock.
inline bool Hold(Events events, const Morvek::Scene& scene, std::uint64_t ms,
                 const Below& below = {}) {
    const std::uint64_t until = Display::Run::ClockMs() + ms;
    Script(std::move(events));
    Under(below);
    Morvek::world.scenes.Push(scene);
    Steps::Until([until] { return Display::Run::ClockMs() >= until; });
    return Morvek::world.scenes.Size() > below.size();
}

// Goes on with what Hold left open, on more events, until every scene is
// done; false if the run ended first.
inline bool Finish(Events events) {
    Script(std::move(events));
    return Steps::Until([] { return Morvek::world.scenes.Empty(); });
}

// The program from its start, as the host runs it, on the events: true at
// its End button, false if the run ended first.
inline bool PlayProgram(Events events) {
    Script(std::move(events));
    return Program::Play();
}

// The colour a button's frame shows at its top-left corner.
inline std::uint32_t FrameColour(std::int32_t x, std::int32_t y) {
    return Display::GetPixel(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
}

inline std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A headless window, the world at program start, the score file in a temp dir.
class Fixture : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::Fresh();
        dir = TestSupport::MakeTempDir("morvek-screens");
        savedFile = Morvek::scorefile;
        Morvek::scorefile = (dir / "myscore.txt").string();
    }
    void TearDown() override {
        Morvek::scorefile = savedFile;
        std::filesystem::remove_all(dir);
        Display::Run::Reset();
    }
    // A one-colour picture (colour in the layer's order) loaded at `w` x `h`.
    std::uint32_t Solid(std::uint32_t colour, std::uint32_t w, std::uint32_t h) {
        return TestPictures::Solid(colour, w, h);
    }
    std::filesystem::path dir;
    std::string savedFile;
};

} // namespace ScreenRun
