// The keys as they are bound now, and the two things a first game teaches
// the hard way, laid over the first seconds of a new game; it fades out by
// itself and asks for nothing, so play starts at once.
#pragma once

#include "game/core/World.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Morvek {

// How much of the guide shows in this frame: 255 in full, less as it fades,
// 0 once it is gone or when no new game began. Ticks of play count, not time.
std::uint32_t KeyGuideAlpha(const World& w);
void DrawKeyGuide(const World& w);

// An action and the key that plays it, as the bindings in use name it.
struct KeyGuideRow {
    std::string_view label;
    std::string keys;
};
// In the guide's order: left column first, line by line.
std::array<KeyGuideRow, 6> KeyGuideRows();

} // namespace Morvek
