// Internals of the display layer shared by its units: input tables, sync
// points and the presented frame.
#pragma once

#include "display/PixelMemory.h"
#include "display/Run.h"

#include <cstdint>
#include <vector>

namespace Display {

// Half-open pixel rectangle [x0, x1) x [y0, y1).
struct PixelRect {
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
    void Add(const PixelRect& r);
};

// What UpdateWindow handed over for the window to show.
struct PresentedFrame {
    PixelBuffer pixels; // width * height, 0x00RRGGBB
    std::uint32_t width = 0, height = 0;
    PixelRect changed; // changed since the window last showed it
    std::uint64_t serial = 0;
};
PresentedFrame& Presented();

// Opening a window: black frame of that size, everything to show.
void OpenPresented(std::uint32_t width, std::uint32_t height);
// Forget what was drawn and not yet presented (teardown).
void DropDrawn();
// Lets the frame hook look at the game: at every UpdateWindow, and when the
// banner goes up or down.
void CallFrameHook();

// Key table, key queue and mouse: game thread only.
void ClearInput();
void ApplyInput(const Run::InputEvent& event);
bool KeyQueued();
// Whether the event would move its key or mouse button up or down; a key's
// auto-repeat moves nothing.
bool ChangesLevel(const Run::InputEvent& event);

} // namespace Display

namespace Display::Run {

// Script events that are due and pending live events, in that order.
void ApplyDue();
// Window teardown without asking the window's thread (tests).
void DropWindow();
// While on, shots and states are written only inside the working directory
// (a script's events); the game's own files are refused either way.
void ConfineOutput(bool toWorkingDir);
// Nothing is protected any more (Reset).
void ForgetProtected();

} // namespace Display::Run
