// Game controllers as the keyboard the game knows: the stick and the d-pad
// are the arrows, A fires (space), B breathes the beam (Shift), X or a
// shoulder raises the shield (Ctrl), Start pauses (the Pause key), Back gives
// up (Escape). What the game hears is plain key events, recorded as such.
#pragma once

#include "display/KeyMap.h"

#include <SDL_gamecontroller.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace Display::Pad {

// A stick inside this much of its travel (of 32767) counts as centred.
constexpr std::int32_t kDeadZone = 8000;

struct KeyChange {
    std::uint8_t code;
    bool down;
    bool operator==(const KeyChange&) const = default;
};

// The key a button stands for, if any.
std::optional<std::uint8_t> ButtonKey(SDL_GameControllerButton button);
// The arrow a left-stick axis holds at `value`, if any.
std::optional<std::uint8_t> StickKey(SDL_GameControllerAxis axis, std::int32_t value);

// What the game hears when a button of controller `pad` goes down or up.
std::vector<KeyChange> Button(Keys::HeldKeys& held, SDL_JoystickID pad,
                              SDL_GameControllerButton button, bool down);
// ... when an axis of its stick moves.
std::vector<KeyChange> Axis(Keys::HeldKeys& held, SDL_JoystickID pad, SDL_GameControllerAxis axis,
                            std::int32_t value);
// ... when it is unplugged: every key only it held goes up.
std::vector<KeyChange> Removed(Keys::HeldKeys& held, SDL_JoystickID pad);

} // namespace Display::Pad
