// Drops and pick-ups.
#pragma once

#include "game/core/World.h"

namespace Morvek {

// The enemy in slot `enemy` was destroyed: perhaps an item drops there.
void DropItem(std::uint32_t enemy);
// Items drift one tick across the field.
void MoveItems();
// The dragon picks up item `slot` of row `kind` (health, magic, weapon,
// special, life) and gets its effect.
void CollectItem(std::uint32_t kind, std::uint32_t slot);
// The name of a picked-up item, floating above the dragon.
void ShowItemText(std::uint32_t kind, std::uint32_t slot);
// The floating text of a pick-up shown this frame ages by a frame.
void AgeItemTexts();

} // namespace Morvek
