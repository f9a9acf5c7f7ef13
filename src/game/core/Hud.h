// Layout of the head-up display drawn over every frame of play.
#pragma once

#include "game/core/Colours.h"
#include "game/core/World.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace Morvek::Hud {

inline constexpr std::uint32_t kFontStyle = 5;
inline constexpr std::uint32_t kTextColor = Colours::Packed(240, 225, 255); // lavender
inline constexpr std::uint32_t kShadowColor = Colours::kBlack;
// The display lies on a band that darkens the field under it, so its labels
// read over white cloud as well as over dark rock. The band reaches below
// the specials' icons, the lowest thing in the display.
inline constexpr std::int32_t kBandBottom = 72;
inline constexpr std::uint32_t kBandShade = 135; // of 255, towards black
// The numbers under their labels are drawn at twice the font's size, to be
// read at a glance; the 25 pixels between label and number leave room.
inline constexpr std::int32_t kNumberScale = 2;

// Labels, some with a number below them, in the order they are drawn: the
// top row first, then the frames and bars, then the rest.
enum class Number : std::uint8_t { None, Score, Difficulty };
struct Label {
    std::string_view text;
    std::int32_t x, y;
    Number number = Number::None;
    std::int32_t numberY = 0;
};
inline constexpr std::array<Label, 4> kTopLabels = {{
    {"HEALTH:", 895, 15},
    {"MAGIC:", 740, 15},
    {"SCORE:", 600, 15, Number::Score, 40},
    {"DIFFICULTY:", 200, 15, Number::Difficulty, 40},
}};
inline constexpr std::array<Label, 2> kLowerLabels = {{
    {"LIVES:", 20, 15},
    {"SPECIALS:", 390, 15},
}};

struct Position {
    std::int32_t x, y;
};

// A bar is one pixel per point inside its frame; below or at `lowAt` it
// changes colour as a warning.
struct Bar {
    std::int32_t frameX0, frameY0, frameX1, frameY1;
    std::uint32_t frameColor;
    std::int32_t x0, y0, y1;
    std::uint32_t color;
    std::uint32_t lowColor;
    std::int32_t lowAt;
};
inline constexpr Bar kHealth = {
    895, 35, 1005, 55, Colours::kGreen, 900, 40, 50, Colours::kDarkGreen, Colours::kRed, 25};
inline constexpr Bar kMagic = {
    740, 35, 850, 55, Colours::kBlue, 745, 40, 50, Colours::kTeal, Colours::kMagenta, 20};

// One icon per spare life (the one in play is not shown), and per special.
inline constexpr std::array<Position, 3> kLifeIcons = {{{20, 30}, {50, 30}, {80, 30}}};
inline constexpr std::array<Position, 5> kSpecialIcons = {
    {{390, 30}, {425, 30}, {460, 30}, {495, 30}, {530, 30}}};

} // namespace Morvek::Hud
