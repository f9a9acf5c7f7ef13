// The game's own label font: bold capitals, digits and a little punctuation,
// 7 rows high and of varying width, drawn scaled up in blocks.
#pragma once

#include "Canvas.h"

#include <string_view>

namespace Art {

// Width in pixels of `s` at horizontal scale `sx` (one blank column between
// letters).
int textWidth(std::string_view s, int sx);
// Adds the letters of `s` to `r`, top-left corner at (x, y).
void text(Region& r, std::string_view s, int x, int y, int sx, int sy);
// Centred on (cx, cy).
void textCentred(Region& r, std::string_view s, int cx, int cy, int sx, int sy);

} // namespace Art
