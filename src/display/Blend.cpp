// Mixed and moved pixels of the back buffer: translucent panels, tints and
// fades, and the frame moved as a whole.
#include "display/Clip.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Display {

namespace {

// `alpha` of 255 gives `over`, 0 gives `under`; each channel on its own.
std::uint32_t Mix(std::uint32_t under, std::uint32_t over, std::uint32_t alpha) {
    std::uint32_t out = 0;
    for (const std::uint32_t shift : {0u, 8u, 16u}) {
        const std::uint32_t u = (under >> shift) & 0xFF, o = (over >> shift) & 0xFF;
        out |= ((u * (255 - alpha) + o * alpha + 127) / 255) << shift;
    }
    return out;
}

// Both corners included, whichever way round they come.
ClipRect Box(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    return Clip(std::min(x0, x1), std::min(y0, y1), std::int64_t{std::max(x0, x1)} + 1,
                std::int64_t{std::max(y0, y1)} + 1);
}

} // namespace

void Tint(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::uint32_t color,
          std::uint32_t alpha) {
    if (!CanDraw()) {
        return;
    }
    const ClipRect r = Box(x0, y0, x1, y1);
    alpha = std::min(alpha, 255u);
    if (r.Empty() || alpha == 0) {
        return;
    }
    const std::uint32_t pixel = CreateColor(color);
    for (std::int32_t y = r.y0; y < r.y1; ++y) {
        std::uint32_t* row = Row(y);
        std::transform(row + r.x0, row + r.x1, row + r.x0,
                       [&](std::uint32_t p) { return Mix(p, pixel, alpha); });
    }
    Touched(r);
}

void DrawFaded(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t alpha, const std::function<void()>& paint) {
    if (!CanDraw()) {
        return;
    }
    alpha = std::min(alpha, 255u);
    if (alpha == 255) {
        paint();
        return;
    }
    const ClipRect r = Box(x0, y0, x1, y1);
    if (r.Empty() || alpha == 0) {
        return;
    }
    const auto width = static_cast<std::size_t>(r.x1 - r.x0);
    std::vector<std::uint32_t> before(width * static_cast<std::size_t>(r.y1 - r.y0));
    for (std::int32_t y = r.y0; y < r.y1; ++y) {
        std::memcpy(&before[static_cast<std::size_t>(y - r.y0) * width], Row(y) + r.x0, width * 4);
    }
    // Whatever the paint did outside the box is put back too: the box holds all of it.
    const ClipRect saved = limit;
    const bool wasLimited = limited;
    SetClip(r.x0, r.y0, r.x1 - 1, r.y1 - 1);
    paint();
    limit = saved;
    limited = wasLimited;
    for (std::int32_t y = r.y0; y < r.y1; ++y) {
        std::uint32_t* row = Row(y) + r.x0;
        const std::uint32_t* old = &before[static_cast<std::size_t>(y - r.y0) * width];
        for (std::size_t x = 0; x < width; ++x) {
            row[x] = Mix(old[x], row[x], alpha);
        }
    }
    Touched(r);
}

void ShiftFrame(std::int32_t dx, std::int32_t dy) {
    if (!CanDraw() || (dx == 0 && dy == 0)) {
        return;
    }
    const auto w = static_cast<std::int32_t>(window.xlen),
               h = static_cast<std::int32_t>(window.ylen);
    dx = std::clamp(dx, -(w - 1), w - 1);
    dy = std::clamp(dy, -(h - 1), h - 1);
    // Rows go bottom-up when moving down so none is overwritten before it is read.
    const auto moveRow = [&](std::int32_t y) {
        const std::int32_t from = std::clamp(y - dy, 0, h - 1);
        std::uint32_t* dst = Row(y);
        const std::uint32_t* src = Row(from);
        std::memmove(dst + std::max(dx, 0), src + std::max(-dx, 0),
                     static_cast<std::size_t>(w - std::abs(dx)) * 4);
        // The uncovered columns repeat the edge pixel the frame moved away from.
        if (dx > 0) {
            std::fill(dst, dst + dx, dst[dx]);
        } else if (dx < 0) {
            std::fill(dst + w + dx, dst + w, dst[w + dx - 1]);
        }
    };
    if (dy > 0) {
        for (std::int32_t y = h - 1; y >= 0; --y) {
            moveRow(y);
        }
    } else {
        for (std::int32_t y = 0; y < h; ++y) {
            moveRow(y);
        }
    }
    Touched({0, 0, w, h});
}

} // namespace Display
