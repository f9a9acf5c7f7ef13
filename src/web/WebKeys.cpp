#include "web/WebKeys.h"

#include <algorithm>
#include <array>

namespace Display::Web {

namespace {

// Keys the game hears besides letters and digits, by their code: arrows,
// editing keys, the keypad and punctuation. The function keys stay the
// browser's (F5 reloads, F11 is its full screen); the game uses none.
constexpr std::array<std::uint8_t, 45> kKnown{
    0x08, 0x09, 0x0D, 0x10, 0x11, 0x13, 0x14, 0x1B, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26,
    0x27, 0x28, 0x2D, 0x2E, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A,
    0x6B, 0x6D, 0x6E, 0x6F, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0, 0xDB, 0xDC, 0xDD, 0xDE,
};

} // namespace

std::optional<std::uint8_t> MapKey(std::uint32_t keyCode, bool alt, bool down) {
    if (down && alt) {
        return std::nullopt;
    }
    const bool letter = keyCode >= 'A' && keyCode <= 'Z';
    const bool digit = keyCode >= '0' && keyCode <= '9';
    const bool known = std::find(kKnown.begin(), kKnown.end(), keyCode) != kKnown.end();
    if (letter || digit || known) {
        return static_cast<std::uint8_t>(keyCode);
    }
    return std::nullopt;
}

} // namespace Display::Web
