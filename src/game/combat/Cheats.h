// The cheat keys of the keypad: more special attacks, lives, the best gun.
#pragma once

namespace Morvek {

// Each level offers more of them; read once a tick.
void Cheats();
// Whether a cheat key is down, in any level: a verifier marks the game.
bool CheatKeyDown();

} // namespace Morvek
