// State shared by the units of the display layer (window, bitmaps, shapes).
// Not for the game: the game uses Display.h only.
#pragma once

#include "display/Display.h"
#include "display/PixelMemory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Display {

struct WinStruct {
    WinState state = STATE_DEAD;
    std::string title;      // caption; copy of what Window or SetTitle was given
    std::uint32_t xlen = 0; // client width
    std::uint32_t ylen = 0; // client height
};

extern WinStruct window;
extern bool buffering;

// The back buffer: xlen * ylen pixels, row-major, each 0x00RRGGBB.
extern PixelBuffer backbuffer;

// Layer colour value (red + 256 * blue + 65536 * green) to a back-buffer pixel and back.
constexpr std::uint32_t CreateColor(std::uint32_t v) {
    const std::uint32_t r = v & 0xFF, b = (v >> 8) & 0xFF, g = (v >> 16) & 0xFF;
    return (r << 16) | (g << 8) | b;
}
constexpr std::uint32_t FromPixel(std::uint32_t p) {
    const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r | (b << 8) | (g << 16);
}

// Every drawing operation reports the rectangle it touched, clipped, as
// [x0, x1) x [y0, y1). The window unit keeps it for the next UpdateWindow and,
// with buffering off, shows it at once.
void DrawnRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1);

// Releases every picture of the bitmap table (teardown of the window).
void FreeBitmaps();
// Number of entries of the bitmap table, holes included.
std::uint32_t BitLen();

} // namespace Display
