// Drops and pick-ups.
#pragma once

#include "game/core/World.h"

namespace Procedures {

void Dropitem(std::uint32_t i);
void Itemmove();
void ObjectCollect(std::uint32_t i, std::uint32_t j);
void ObjectText(std::uint32_t i, std::uint32_t j);
// The floating text of a pick-up shown this frame ages by a frame.
void AgeObjectText();

} // namespace Procedures
