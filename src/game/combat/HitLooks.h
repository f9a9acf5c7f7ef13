// What a hit looks like: the dragon flashes and the field shakes when it
// loses health, and the whole field flares when it loses a life. Seen from
// the frames drawn (core/Looks.h), never told by the rules.
#pragma once

#include "game/core/World.h"

#include <cstdint>

namespace Morvek {

// Takes in the battle frame about to be drawn: a new game begun, health or a
// life lost since the last one. Once per frame, before drawing it.
void NoteFrame(World& w);

struct Offset {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
};
// How far the field is moved in this frame; nowhere once a hit has settled.
Offset Shake(const Looks& looks);

// Over the dragon, while it flashes.
void DrawDragonFlash(const World& w);
// Over the field, just after a life lost.
void DrawLossFlare(const Looks& looks);

} // namespace Morvek
