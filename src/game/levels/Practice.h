// A practice start: a new game that begins at a chosen level, optionally
// right at that level's boss fight.
#pragma once

namespace Procedures {

// True once after a practice start that asked for the boss fight: the level
// script then skips its waves. Reading it clears it, so the levels that follow
// run in full.
bool TakeBossStart();

} // namespace Procedures
