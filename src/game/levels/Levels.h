// The three level scripts and their interludes.
#pragma once

namespace Morvek {

void Level1();
void Level2();
void Level3();

// What the last level calls once its boss is beaten: the name entry of the
// screens, which lie above the levels and so hand it down.
void SetGameWon(void (*save)());

} // namespace Morvek
