// A wave or a boss fight as a scene: the wave's enemies glide in, then it
// ticks until no enemy holds it up; a lost last life opens the game over.
#pragma once

#include "game/core/Next.h"

namespace Morvek {

Next Update(BattleScene& battle, World& w);
// The battle's frame, from the world as its last tick or glide-in pass left
// it: the field with a boss's attacks, shaken by a hit; over it the display,
// a boss's bar and, early in a new game, the keys. The world's looks are
// read, not moved on: NoteFrame (combat/HitLooks.h) does that, once a frame.
void Draw(const BattleScene& battle, const World& w);
// The same frame without the keys: what a screen laid over the field keeps.
void DrawWithoutKeys(const BattleScene& battle, const World& w);

// A wave's tick up to its frame, outside any battle (the bench, tests).
void WaveTickPlay();
// One glide-in pass of a wave's enemies, the field's rules first; false once
// they are all in, and then nothing moved.
bool GlideInPass(std::uint32_t pass);
// No enemy left that holds up the wave (castles never do).
bool WaveCleared();
// Empties the field between waves and levels.
void ClearField();

} // namespace Morvek
