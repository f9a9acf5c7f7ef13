// What the field does to the game at the end of a tick of play.
#pragma once

namespace Morvek {

// The scroll, the deadly contacts, the shield, the floating text and the
// beam; nothing on a screen without a field.
void FieldRules();
void ScrollBackground();
// The dragon dies on black in the deadly area under its centre, or on an
// icicle it lies on.
void DeadlyContacts();

} // namespace Morvek
