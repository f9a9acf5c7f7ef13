// Lighting for the sprites: one light from the top-left for every picture.
// Shapes are shaded as if inflated (a pillow), so any silhouette gets a lit
// upper-left rim and a shadowed lower-right one.
#pragma once

#include "Canvas.h"

namespace Art {

struct Ramp {
    Rgb dark, mid, light, outline;
    Rgb at(float t) const; // 0 dark .. 0.55 mid .. 1 light
};

// A ramp around a base colour: shadows lean to violet, lights to warm white.
Ramp ramp(Rgb base);
Ramp ramp(Rgb dark, Rgb mid, Rgb light, Rgb outline);

struct Shading {
    float depth = 6;     // how far in from the edge the surface is still curved
    int tones = 5;       // 0 for a smooth gradient
    bool outline = true; // a 1-px dark line around the part
    bool dither = false; // ordered dither between tones
    float ambient = 0.18f;
    float gloss = 0; // strength of a small specular highlight
};

inline Shading shaded(float depth, int tones = 5, float gloss = 0) {
    Shading s;
    s.depth = depth;
    s.tones = tones;
    s.gloss = gloss;
    return s;
}

// Light intensity in [0, 1] per pixel of `r` (0 outside).
std::vector<float> lighting(const Region& r, float depth, float ambient, float gloss);

// Paints one part of a sprite over what is already there.
void paint(Canvas& c, const Region& r, const Ramp& ramp, const Shading& s = {});

// Paints an outline-free region with a colour chosen per pixel.
template <class F> void paintBy(Canvas& c, const Region& r, F colourAt) {
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (r.at(x, y))
                c.set(x, y, colourAt(x, y));
}

// A 4x4 ordered-dither threshold in [0, 1).
float bayer(int x, int y);

} // namespace Art
