// The game's palette: every picture takes its colours from here so the
// sprites, scenery and screens belong together.
#pragma once

#include "Canvas.h"

namespace Art::Pal {

// The young hero: green-teal scales, a straw belly.
constexpr Rgb heroScale = hex(0x2FA872);
constexpr Rgb heroBelly = hex(0xE8D58A);
constexpr Rgb heroWing = hex(0xD89A4E); // warm membranes stand out from the scales
constexpr Rgb horn = hex(0xEDE3C8);
// The dragon king and his brood.
constexpr Rgb kingScale = hex(0xC8302A);
constexpr Rgb kingBelly = hex(0xF2B450);
constexpr Rgb kingWing = hex(0x8A1E3A);

constexpr Rgb fireCore = hex(0xFFFBE0);
constexpr Rgb fireYellow = hex(0xFFD84A);
constexpr Rgb fireOrange = hex(0xFF8A1E);
constexpr Rgb fireRed = hex(0xD8301C);
constexpr Rgb fireDeep = hex(0x7A1010);

constexpr Rgb iceWhite = hex(0xF4FCFF);
constexpr Rgb iceLight = hex(0xBDEBFA);
constexpr Rgb iceMid = hex(0x6CC4E8);
constexpr Rgb iceDeep = hex(0x2A6FA8);

constexpr Rgb magicViolet = hex(0xA04CE0);
constexpr Rgb magicPink = hex(0xF070D0);

constexpr Rgb gold = hex(0xF0B830);
constexpr Rgb stone = hex(0x9A9488);
constexpr Rgb ink = hex(0x140C1C); // outlines and the darkest shadows
constexpr Rgb eyeWhite = hex(0xFFFCEE);

} // namespace Art::Pal

namespace Art {

// Fire by heat: 1 white-hot core down to 0 at the smoky red edge.
inline Rgb fireHeat(float t) {
    if (t > 0.8f)
        return mix(Pal::fireYellow, Pal::fireCore, (t - 0.8f) / 0.2f);
    if (t > 0.5f)
        return mix(Pal::fireOrange, Pal::fireYellow, (t - 0.5f) / 0.3f);
    if (t > 0.2f)
        return mix(Pal::fireRed, Pal::fireOrange, (t - 0.2f) / 0.3f);
    return mix(Pal::fireDeep, Pal::fireRed, t / 0.2f);
}

// Frost by strength: 1 white to 0 deep blue.
inline Rgb frostHeat(float t) {
    if (t > 0.6f)
        return mix(Pal::iceLight, Pal::iceWhite, (t - 0.6f) / 0.4f);
    if (t > 0.3f)
        return mix(Pal::iceMid, Pal::iceLight, (t - 0.3f) / 0.3f);
    return mix(Pal::iceDeep, Pal::iceMid, t / 0.3f);
}

} // namespace Art
