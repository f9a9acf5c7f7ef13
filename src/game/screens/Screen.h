// Small drawing and polling steps that every screen repeats.
#pragma once

#include "game/screens/Layout.h"

namespace Morvek::Screen {

void Draw(Picture p, Layout::Point at);
void DrawMasked(Picture p, Layout::Point at);
void DrawLabel(const Layout::Label& label);
void Frame(Layout::Rect r);

// Reads the mouse into mouseX, mouseY, and the keys that move between the
// screen's buttons (`grid`); once per pass of the screen's loop.
void ReadInput(const Layout::Grid& grid);
// MenuSelect with no menu action: frames the button and tells whether it is
// clicked, or chosen from the keyboard.
bool Clicked(Layout::Rect r);

// A button of plain text in its black frame, for those without a picture.
void DrawTextButton(Layout::Rect r, std::string_view caption);
// Waits until the mouse and the keys that choose (Return, space) are up, so
// what chose a button does nothing more on the screen it opens.
void WaitForRelease();

// The Return button in its black frame.
void DrawReturnButton();
// Polls the Return button every 20 ms until it is clicked or chosen.
void WaitForReturn();
// Caption back to the menu's, and the menu redrawn.
void BackToMenu();

} // namespace Morvek::Screen
