// Drops and pick-ups.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Dropitem(card i);
void Itemmove();
void ObjectCollect(card i, card j);
void ObjectText(card i, card j);
// The floating text of a pick-up shown this frame ages by a frame.
void AgeObjectText();

} // namespace Procedures
