// Where the dragon dies on touching the background: the black of a level's
// deadly-area pictures as the scroll places them. The game's contact test
// and the autopilot both read it here, so they can never see other walls.
#pragma once

#include "display/Display.h"
#include "game/core/Placement.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Morvek {

// The black pixels of one picture, read once through the display layer.
struct BlackMask {
    std::uint32_t picture = 0; // the layer's number
    std::int64_t width = 0;    // 0: no such picture, so it covers nothing
    std::int64_t height = 0;
    std::int64_t words = 0;          // per row
    std::vector<std::uint64_t> bits; // a bit a pixel, each row from a fresh word

    bool Covers(std::int64_t column, std::int64_t row) const {
        return column >= 0 && column < width && row >= 0 && row < height;
    }
    bool Black(std::int64_t column, std::int64_t row) const {
        return (bits[static_cast<std::size_t>(row * words + (column >> 6))] >> (column & 63) & 1) !=
               0;
    }
};

// A level's deadly area as the pictures loaded now make it. Kept only while
// no picture is loaded or released: take it afresh for every use. Inline, as
// the autopilot looks at thousands of pixels a tick.
class DeadlyArea {
  public:
    // Is window pixel (x, y) black at scroll offset scrollX, as DrawBitmap
    // lays the area's pictures there? Outside the window everything is;
    // where no picture lies (one not loaded) nothing is; a level outside
    // 1..kLastLevel has no deadly area at all.
    bool At(std::int32_t scrollX, std::int32_t x, std::int32_t y) const {
        if (masks_[0] == nullptr) {
            return false;
        }
        if (x < 0 || y < 0 || x >= static_cast<std::int32_t>(Display::kWidth) ||
            y >= static_cast<std::int32_t>(Display::kHeight)) {
            return true; // the layer reads black outside the window
        }
        // The picture drawn last lies on top.
        const auto places = BackdropPlaces(scrollX);
        for (auto p = places.rbegin(); p != places.rend(); ++p) {
            const BlackMask& m = *masks_[p->which];
            const std::int64_t column = std::int64_t{x} - p->x;
            if (m.Covers(column, y)) {
                return m.Black(column, y);
            }
        }
        return false;
    }

    DeadlyArea() = default;
    explicit DeadlyArea(std::array<const BlackMask*, 2> masks) : masks_(masks) {}

  private:
    std::array<const BlackMask*, 2> masks_{}; // the picture's and its mirror's; none: no level
};

const DeadlyArea& DeadlyAreaOf(std::uint32_t level);

inline bool Deadly(std::uint32_t level, std::int32_t scrollX, std::int32_t x, std::int32_t y) {
    return DeadlyAreaOf(level).At(scrollX, x, y);
}

} // namespace Morvek
