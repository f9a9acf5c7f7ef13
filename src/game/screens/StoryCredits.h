// The story and credits screens.
#pragma once

#include "display/Bindings.h"

#include <array>
#include <string>

namespace Morvek {

// What the Story screen says of the keys, as `keys` binds them, P, M and
// Escape too, and what Magic is.
std::array<std::string, 8> StoryKeyLines(const Display::Bindings::Table& keys);

void DrawStory();
void DrawCredits();

} // namespace Morvek
