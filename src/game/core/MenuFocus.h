// Where the keyboard's light stands on the screens' buttons, kept in the
// world so that a copy of it carries on as the game did (screens/Focus.h
// moves it).
#pragma once

#include <array>
#include <cstdint>

namespace Morvek {

struct MenuFocus {
    static constexpr std::size_t kScreens = 8; // button grids, one per kind of screen
    static constexpr std::int32_t kNone = -1;
    // Who pointed at a button last. A screen opens with neither, so a mouse
    // resting where the last screen was clicked lights nothing.
    enum class Leader : std::uint8_t { None, Mouse, Keys };

    std::int32_t grid = kNone;   // the grid polled last
    std::int32_t lit = kNone;    // its lit button
    std::int32_t chosen = kNone; // chosen in this pass
    Leader leader = Leader::Mouse;
    std::array<std::int32_t, kScreens> remembered{kNone, kNone, kNone, kNone,
                                                  kNone, kNone, kNone, kNone};
    std::array<bool, 7> wasDown{}; // the arrows, Return, space and Escape at the last poll
    bool escape = false;           // Escape went down in this pass
    std::int32_t lastX = 0, lastY = 0;
};

} // namespace Morvek
