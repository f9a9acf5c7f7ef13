// One dragon painter for the hero, the king's brood, the king himself and the
// life icon, so they read as one family.
#pragma once

#include "Canvas.h"
#include "Shade.h"

namespace Art {

struct DragonLook {
    Rgb scale, belly, wing, horn;
    bool wingsUp = true;
    bool king = false; // bigger horns, open jaws, a crest of spikes
};

// Paints a dragon facing right, filling a square canvas.
void paintDragon(Canvas& c, const DragonLook& look);
// Just the head, facing right, centred on (cx, cy), `k` pixels per unit.
void paintDragonHead(Canvas& c, const DragonLook& look, float cx, float cy, float k);

} // namespace Art
