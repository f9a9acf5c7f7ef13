// The name entry of a new result, after a game over's Save or the last boss.
#pragma once

#include "game/core/Next.h"

#include <array>

namespace Morvek {

// Letters are typed from the key queue; Return or the Return button saves.
// A game-over screen below learns whether the result reached the file.
Next Update(NameEntryScene& entry, World& w);

// Stores a letter key (65..90) at position t of the name and moves t on;
// other keys, and any key once t is 8, change nothing. Returns whether the
// key was taken.
bool TypeLetter(std::array<char, 7>& name, std::uint32_t& t, std::uint32_t key);
// Backspace: takes the last letter typed back off the name (t moves back);
// nothing when no letter is typed. Returns whether one was taken.
bool EraseLetter(std::array<char, 7>& name, std::uint32_t& t);

} // namespace Morvek
