// A tick's frame of play and what it does to the game, in
// the order the frame shows it.
#pragma once

namespace Morvek {

void FieldFrame();
void ScrollBackground();
// The dragon dies on black in the deadly area under its centre, or on an
// icicle it lies on.
void DeadlyContacts();

} // namespace Morvek
