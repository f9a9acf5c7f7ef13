// The browser's key codes to the game's virtual-key codes. For the keys the
// game knows, a browser's keyCode already is that code.
#pragma once

#include "display/KeyMap.h"

#include <cstdint>
#include <optional>

namespace Display::Web {

// Nothing for keys the page leaves to the browser: Alt and what is pressed
// with it, the function keys, and keys the game has no use for. A key going up
// always passes, so nothing stays stuck down.
std::optional<std::uint8_t> MapKey(std::uint32_t keyCode, bool alt, bool down);

} // namespace Display::Web
