// SDL keys to the game's virtual-key codes, kept free of any window so the
// rules can be checked on their own.
#pragma once

#include <SDL_keycode.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace Wimdows::Keys {

// The code the game sees for a key going down or up, or nothing. Alt, and
// every key pressed while Alt is held, stays with the window system; a key
// going up always passes so nothing stays stuck down.
std::optional<std::uint8_t> MapKey(SDL_Keycode sym, std::uint16_t mod, bool down);

// F11 and Alt+Return switch between a window and the full screen; they are
// the window's, never the game's, going down or up.
bool FullscreenToggle(SDL_Keycode sym, std::uint16_t mod);

// Which keys the game was told are down, so losing the focus can let them go.
class HeldKeys {
  public:
    void Press(std::uint8_t code) { held_[code] = true; }
    void Lift(std::uint8_t code) { held_[code] = false; }
    // Every key still down, now counted as up.
    std::vector<std::uint8_t> ReleaseAll();

  private:
    std::array<bool, 256> held_{};
};

} // namespace Wimdows::Keys
