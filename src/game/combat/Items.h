// Drops and pick-ups.
#pragma once

#include "game/core/World.h"

namespace Morvek {

void DropItem(std::uint32_t i);
void MoveItems();
void CollectItem(std::uint32_t i, std::uint32_t j);
void ShowItemText(std::uint32_t i, std::uint32_t j);
// The floating text of a pick-up shown this frame ages by a frame.
void AgeItemTexts();

} // namespace Morvek
