// Drives a screen headless from a list of timed input events, the way a
// script would, and keeps the highscore file in a directory of its own.
#pragma once

#include "display/Display.h"
#include "display/Run.h"
#include "game/screens/ScoreFile.h"
#include "support/Pictures.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

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

struct Ended {};

// Runs `screen` on the events, stamped from now on; true if it returned,
// false if the run ended (closed, or waiting for input that never comes).
inline bool Play(Events events, const std::function<void()>& screen) {
    for (auto& e : events) {
        e.ms += Display::Run::ClockMs();
    }
    Display::Run::SetScript(std::move(events));
    Display::Run::SetEndHandler([] { throw Ended{}; });
    try {
        screen();
    } catch (const Ended&) {
        return false;
    }
    return true;
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
