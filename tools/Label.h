// Lettering with a lit fill, a dark outline and a drop shadow, so labels stay
// legible over any picture.
#pragma once

#include "Canvas.h"

#include <string_view>

namespace Art {

struct LabelStyle {
    Rgb top, bottom; // fill gradient, top to bottom of the letters
    Rgb outline;
    Rgb shadow;
    int sx = 2, sy = 3;
    int shadowOffset = 2;
};

// Paints `s` centred on (cx, cy).
void label(Canvas& c, std::string_view s, int cx, int cy, const LabelStyle& style);

} // namespace Art
