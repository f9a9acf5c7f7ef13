// A frame of play drawn from the world, which it leaves as
// it was. Draw is the whole frame; a tick draws it in three layers, as the
// shield and the beam come between them.
#pragma once

namespace Morvek {

bool FieldShown(); // a level with a field to show
void Draw();
void DrawBehindDragon(); // background and head-up display
void DrawField();        // shield, dragon, enemies, items, hazards and shots
void DrawOnTop();        // beam and explosions

} // namespace Morvek
