// Clipping against the back buffer, shared by the drawing units.
#pragma once

#include "display/Layer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace Display {

// A half-open rectangle [x0, x1) x [y0, y1) of back-buffer pixels.
struct ClipRect {
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// Drawing needs an open window and a back buffer that really holds the
// window's pixels; anything else would write out of bounds.
inline bool CanDraw() {
    return window.state == STATE_ACTIVE &&
           backbuffer.size() >= static_cast<std::size_t>(window.xlen) * window.ylen;
}

// The part of the back buffer drawing may touch (SetClip); all of it by default.
extern ClipRect limit;
extern bool limited;

// 64-bit in, so that a picture far off screen can't wrap around into view.
inline ClipRect Clip(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1) {
    std::int64_t lx0 = 0, ly0 = 0, lx1 = window.xlen, ly1 = window.ylen;
    if (limited) {
        lx0 = std::max<std::int64_t>(lx0, limit.x0);
        ly0 = std::max<std::int64_t>(ly0, limit.y0);
        lx1 = std::max(lx0, std::min<std::int64_t>(lx1, limit.x1));
        ly1 = std::max(ly0, std::min<std::int64_t>(ly1, limit.y1));
    }
    ClipRect r;
    r.x0 = static_cast<std::int32_t>(std::clamp(x0, lx0, lx1));
    r.y0 = static_cast<std::int32_t>(std::clamp(y0, ly0, ly1));
    r.x1 = static_cast<std::int32_t>(std::clamp(x1, lx0, lx1));
    r.y1 = static_cast<std::int32_t>(std::clamp(y1, ly0, ly1));
    return r;
}

inline std::uint32_t* Row(std::int32_t y) {
    return backbuffer.data() + static_cast<std::size_t>(y) * window.xlen;
}

// Reports a drawn area to the window unit; empty areas are not worth a call.
inline void Touched(const ClipRect& r) {
    if (!r.Empty()) {
        DrawnRect(r.x0, r.y0, r.x1, r.y1);
    }
}

} // namespace Display
