// The menu and the screens from the keyboard or a controller: the arrows
// light a button with the same green frame the mouse gives it, Return or
// fire (space, a controller's A) chooses it. One button is lit at a time,
// the one pointed at last: an arrow puts the mouse's frame out, moving or
// pressing the mouse puts the arrows' light out. A screen opens with
// nothing lit until the player moves the mouse or presses an arrow. Only key levels are read: the
// key queue, which the name entry types from, is left as it is. Where the
// light stands is the world's (world.focus).
#pragma once

#include "game/screens/Layout.h"

namespace Morvek::Focus {

// Once per pass of a screen's loop, with that screen's buttons. A screen
// starting (another grid than last time) counts no key already held as a
// press, so the key that opened it chooses nothing in it.
void Poll(const Layout::Grid& grid);
// The screen changes its buttons under the light (a switch that shows more
// or fewer): the lit button, when the new ones have it at the same place,
// stays lit rather than the screen starting afresh.
void Carry(const Layout::Grid& to);
// Keys held now count as already pressed: after a key was taken from the
// queue for something else (Escape cancelling a question), so it doesn't
// also act at the next poll.
void Settle();
// Whether Escape went down in this pass.
bool Escaped();
// Whether the button is lit by the keyboard.
bool Lit(const Layout::Rect& r);
// Whether the mouse pointed last, so the button under it is framed.
bool MouseLeads();
// Whether the button was chosen by a key in this pass; true once.
bool Chosen(const Layout::Rect& r);

} // namespace Morvek::Focus
