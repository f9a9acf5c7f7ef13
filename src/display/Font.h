// The layer's own bitmap font: 8 x 12 pixel cells, fixed pitch, one bit per
// pixel, so text is always crisp and exactly the text colour. Stems are two
// pixels wide, so small text reads over busy scenery.
#pragma once

#include <array>
#include <cstdint>

namespace Display {

// Current style and text colour (already a back-buffer pixel) of Text.
struct FontStruct {
    std::uint32_t style = 0;
    std::uint32_t color = 0;
};
extern FontStruct font;

namespace Font {

constexpr std::int32_t kCellWidth = 8;
constexpr std::int32_t kCellHeight = 12;
// Glyphs keep their last column blank, so characters advance by 7: the
// longest line of the game (the options screen's) then fits the window.
constexpr std::int32_t kAdvance = 7;

// Row r of a glyph: bit 7 is the leftmost pixel.
using Glyph = std::array<std::uint8_t, kCellHeight>;

// The glyph of `c` in a style; characters without a glyph show a hollow box.
const Glyph& GlyphOf(std::uint32_t style, unsigned char c);

} // namespace Font
} // namespace Display
