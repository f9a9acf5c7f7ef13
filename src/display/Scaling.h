// Where the game's fixed-size frame goes in a window of any size, and where a
// mouse position in that window lands in the frame. Pure arithmetic, so every
// window size can be checked without a window.
#pragma once

#include <cstdint>

namespace Display::Scaling {

struct Size {
    std::int32_t w = 0, h = 0;
};

struct Point {
    std::int32_t x = 0, y = 0;
};

// The frame's rectangle in an output of `out` pixels.
struct Viewport {
    std::int32_t x = 0, y = 0, w = 0, h = 0;
};

// As large as fits with the frame's aspect kept, centred, bars around it.
// With `integer`, only whole multiples of the frame, unless not even one fits.
Viewport Letterbox(Size out, Size frame, bool integer);

// Whether the frame is shown smoothed rather than sharp: only when shrunk,
// where dropping whole rows and columns of pixels would break the small text.
bool Smooth(const Viewport& view, Size frame);

// A mouse position in window coordinates (`window`; on high-DPI displays
// these are points, not the `out` pixels) to frame pixels. Positions over
// the bars fall outside the frame, so they are over no button.
Point ToFrame(const Viewport& view, Size window, Size out, Size frame, Point mouse);

// The first window size: the frame `scale` times, or the largest whole
// multiple that fits `usable`, or the frame shrunk to fit when even one
// does not.
Size InitialSize(Size usable, Size frame, std::uint32_t scale);

} // namespace Display::Scaling
