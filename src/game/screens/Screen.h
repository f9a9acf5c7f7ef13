// Small drawing and polling steps that every screen repeats.
#pragma once

#include "game/core/Next.h"
#include "game/screens/Layout.h"

namespace Morvek::Screen {

void Draw(Picture p, Layout::Point at);
void DrawMasked(Picture p, Layout::Point at);
void DrawLabel(const Layout::Label& label);
void Frame(Layout::Rect r);

// Reads the mouse into mouseX, mouseY, and the keys that move between the
// screen's buttons (`grid`); once per pass of the screen's loop.
void ReadInput(const Layout::Grid& grid);
// Frames the button, green under the mouse or lit by the keys, and tells
// whether it is clicked, or chosen from the keyboard.
bool Clicked(Layout::Rect r);
// How often a screen polls its buttons.
inline constexpr std::uint32_t kPassMs = 20;

// A button without a picture of its own, drawn to look like those that have
// one: its caption in capitals on the same plate.
void DrawTextButton(Layout::Rect r, std::string_view caption);
// Whether the mouse or a key that chooses (Return, space) is down: a
// ReleaseScene waits until none is.
bool ChoosingHeld();

// The Return button in its black frame.
void DrawReturnButton();
// One poll of a screen whose only button is Return; Escape does what it does.
bool ReturnClicked();
// Caption back to the menu's, and the menu redrawn.
void BackToMenu();

} // namespace Morvek::Screen

namespace Morvek {

Next Update(ReleaseScene& release, World& w);
// The Story, Highscore and Credits screens.
Next Update(ReturnScene& screen, World& w);

} // namespace Morvek
