// Where the dragon dies on touching the background: the black of each
// level's deadly-area pictures, read from the same files the game loads.
#pragma once

#include "game/core/Slots.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Autopilot {

class Terrain {
  public:
    // Reads the pictures of levels 1..3; a level whose pictures cannot be
    // read counts as having no walls.
    void Load();
    // Is the window pixel (x, y) deadly when the level's scroll offset is bx?
    bool Deadly(std::uint32_t level, std::int32_t bx, std::int32_t x, std::int32_t y) const;

    static constexpr std::int32_t kWidth = 1024, kHeight = 768;

    // One level's loop of two pictures, 2048 columns; true where black.
    using Strip = std::vector<bool>;
    void Set(std::uint32_t level, Strip strip);

  private:
    Morvek::SlotTable<Strip, Morvek::kLastLevel> levels_; // by level
};

} // namespace Autopilot
