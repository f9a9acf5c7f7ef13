#include "display/Scaling.h"

#include <algorithm>

namespace Display::Scaling {

namespace {

// Rounds towards minus infinity: a position one pixel left of the frame is
// column -1, not 0.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

Size Fit(Size out, Size frame) {
    // Compared crosswise so no fraction is rounded before it matters.
    if (std::int64_t{out.w} * frame.h <= std::int64_t{out.h} * frame.w) {
        return {out.w, static_cast<std::int32_t>(std::int64_t{out.w} * frame.h / frame.w)};
    }
    return {static_cast<std::int32_t>(std::int64_t{out.h} * frame.w / frame.h), out.h};
}

} // namespace

bool Smooth(const Viewport& view, Size frame) {
    return view.w < frame.w || view.h < frame.h;
}

Viewport Letterbox(Size out, Size frame, bool integer) {
    if (out.w <= 0 || out.h <= 0 || frame.w <= 0 || frame.h <= 0) {
        return {};
    }
    Size size = Fit(out, frame);
    const std::int32_t whole = std::min(out.w / frame.w, out.h / frame.h);
    if (integer && whole >= 1) {
        size = {frame.w * whole, frame.h * whole};
    }
    return {(out.w - size.w) / 2, (out.h - size.h) / 2, size.w, size.h};
}

// The frame pixel shown under the middle of the window pixel the mouse is on,
// the same one nearest-neighbour scaling draws there.
std::int32_t Axis(std::int32_t mouse, std::int32_t window, std::int32_t out, std::int32_t at,
                  std::int32_t shown, std::int32_t frame) {
    // (mouse + 1/2) * out / window is the pointer in output pixels.
    const std::int64_t num = (2 * std::int64_t{mouse} + 1) * out - 2 * std::int64_t{at} * window;
    return static_cast<std::int32_t>(FloorDiv(num * frame, 2 * std::int64_t{window} * shown));
}

Point ToFrame(const Viewport& view, Size window, Size out, Size frame, Point mouse) {
    if (view.w <= 0 || view.h <= 0 || window.w <= 0 || window.h <= 0) {
        return {-1, -1};
    }
    return {Axis(mouse.x, window.w, out.w, view.x, view.w, frame.w),
            Axis(mouse.y, window.h, out.h, view.y, view.h, frame.h)};
}

Size InitialSize(Size usable, Size frame, std::uint32_t scale) {
    if (usable.w <= 0 || usable.h <= 0) {
        return frame; // nothing known about the desktop
    }
    for (auto s = static_cast<std::int32_t>(std::clamp<std::uint32_t>(scale, 1, 16)); s >= 1; --s) {
        if (frame.w * s <= usable.w && frame.h * s <= usable.h) {
            return {frame.w * s, frame.h * s};
        }
    }
    return Fit(usable, frame);
}

} // namespace Display::Scaling
