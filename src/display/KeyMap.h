// SDL keys to the game's virtual-key codes, kept free of any window so the
// rules can be checked on their own.
#pragma once

#include <SDL_keycode.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace Display::Keys {

// The code the game sees for a key going down or up, or nothing. Alt, and
// every key pressed while Alt is held, stays with the window system; a key
// going up always passes so nothing stays stuck down.
std::optional<std::uint8_t> MapKey(SDL_Keycode sym, std::uint16_t mod, bool down);

// F11 and Alt+Return switch between a window and the full screen; they are
// the window's, never the game's, going down or up.
bool FullscreenToggle(SDL_Keycode sym, std::uint16_t mod);

// Which keys the game was told are down, and by what: the keyboard and each
// part of each controller hold keys on their own, so letting go of one does
// not release a key another still holds, and losing the focus or a
// controller can let go of everything it held.
using Source = std::uint32_t;
constexpr Source kKeyboard = 0;

class HeldKeys {
  public:
    // True when the source did not hold the key yet.
    bool Press(std::uint8_t code, Source source = kKeyboard);
    // True when no source holds the key any more: the game hears it go up.
    bool Lift(std::uint8_t code, Source source = kKeyboard);
    // The key a source holds, if any (a stick holds one key per axis).
    std::optional<std::uint8_t> Holding(Source source) const;
    // Every key that only sources `gone` accepts held, now up, in code order.
    template <typename Gone> std::vector<std::uint8_t> Release(Gone gone);
    // Every key still down, now counted as up.
    std::vector<std::uint8_t> ReleaseAll() {
        return Release([](Source) { return true; });
    }

  private:
    struct Hold {
        Source source;
        std::uint8_t code;
    };
    bool Held(std::uint8_t code) const;
    std::vector<Hold> held_;
};

template <typename Gone> std::vector<std::uint8_t> HeldKeys::Release(Gone gone) {
    std::vector<std::uint8_t> codes;
    for (const Hold& h : held_) {
        if (gone(h.source)) {
            codes.push_back(h.code);
        }
    }
    std::erase_if(held_, [&](const Hold& h) { return gone(h.source); });
    std::erase_if(codes, [this](std::uint8_t c) { return Held(c); });
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

} // namespace Display::Keys
