// Everything one run keeps in the display layer, grouped by the unit that
// owns it. Each unit works on its own active value; Exchange (Context.h)
// swaps them all with a context's, so another run can take a turn.
#pragma once

#include "display/Clip.h"
#include "display/Layer.h"
#include "display/Picture.h"
#include "display/Recording.h"
#include "display/ScriptEvents.h"
#include "display/Sync.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Display {

// Key table, key queue and mouse as the game sees them.
struct MouseState {
    std::int32_t x = 0, y = 0;
    bool left = false, right = false;
};
struct InputState {
    std::array<bool, 256> key{};
    std::deque<std::uint32_t> keybuf;
    MouseState mouse;
    bool focused = true; // a window counts as focused until it hears otherwise
};

// The window as the game sees it and its back buffer.
struct WindowState {
    WinStruct window;
    bool buffering = false;
    PixelBuffer backbuffer;
};

// What was drawn since the last UpdateWindow, and what it presented.
struct FrameState {
    PresentedFrame presented;
    PixelRect drawn;
    std::function<void()> frameHook;
    bool keepFrames = true;
    bool unshown = false; // presented, not yet handed to the host (fast forward)
    std::chrono::steady_clock::time_point shownAt{};
};

// The loaded pictures (bitmap number n is entry n - 1; the last entry is
// never free) and the clip rectangle.
struct BitmapEntry {
    bool used = false;
    Picture picture;
};
struct PictureState {
    std::vector<BitmapEntry> bit;
    std::uint64_t version = 0; // of the table: every load and release moves it on
    ClipRect limit;
    bool limited = false;
};

void Exchange(InputState& other);
void Exchange(WindowState& other);
void Exchange(FrameState& other);
void Exchange(PictureState& other);

} // namespace Display

namespace Display::Run {

// Everything a run keeps between its sync points, as one value.
struct RunState {
    bool headless = false;
    bool fastForward = false;
    std::uint64_t clock = 0;
    // The run asked to end with this status; the host's loop ends it.
    std::optional<int> endCode;
    int failCode = 0;

    ScriptEvents script;
    std::vector<InputEvent> scriptOptions;
    std::string scriptName; // as messages name it, "" for a script handed over whole
    std::size_t nextEvent = 0;
    std::uint64_t lastStamp = 0;
    // Set while a script has events left: live input then stays out of the game.
    bool scripted = false;

    Recording recording;
    // A shot, state or recording that could not be written: the run goes on
    // but its exit status says so.
    bool writeFailed = false;

    StateWriter stateWriter;
    std::function<void()> endHandler;
    std::function<void()> cleanup;
    std::function<void()> syncHook;
    InputObserver inputObserver;
    bool saveFailed = false; // a script's `save failed`, not yet taken

    // Live input from the window, taken at the next sync point.
    std::vector<InputEvent> live;
    bool closePosted = false;
    bool livePointer = true;
};

void Exchange(RunState& other);

} // namespace Display::Run
