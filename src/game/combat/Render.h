// A frame of play drawn from the world, which it leaves as it was: the
// field, and over everything in it the head-up display.
#pragma once

namespace Morvek {

bool FieldShown(); // a level with a field to show
// The whole frame: the field, then the head-up display.
void Draw();
// The field alone: background, shield, dragon, enemies, items, hazards,
// shots, beam and explosions.
void DrawPlay();
// The head-up display on its band, over whatever was drawn before it; it
// leaves the font as its labels use it.
void DrawHud();

} // namespace Morvek
