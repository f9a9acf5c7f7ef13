#include "display/PadMap.h"
#include "display/KeyCodes.h"

#include <array>

namespace Display::Pad {

namespace {

struct ButtonRow {
    SDL_GameControllerButton button;
    std::uint8_t code;
};

constexpr std::array kButtons{
    ButtonRow{SDL_CONTROLLER_BUTTON_A, KeyCode::kSpace},
    ButtonRow{SDL_CONTROLLER_BUTTON_B, KeyCode::kShift},
    ButtonRow{SDL_CONTROLLER_BUTTON_X, KeyCode::kCtrl},
    ButtonRow{SDL_CONTROLLER_BUTTON_LEFTSHOULDER, KeyCode::kCtrl},
    ButtonRow{SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, KeyCode::kCtrl},
    ButtonRow{SDL_CONTROLLER_BUTTON_START, KeyCode::kPause},
    ButtonRow{SDL_CONTROLLER_BUTTON_BACK, KeyCode::kEscape},
    ButtonRow{SDL_CONTROLLER_BUTTON_DPAD_LEFT, KeyCode::kLeft},
    ButtonRow{SDL_CONTROLLER_BUTTON_DPAD_UP, KeyCode::kUp},
    ButtonRow{SDL_CONTROLLER_BUTTON_DPAD_RIGHT, KeyCode::kRight},
    ButtonRow{SDL_CONTROLLER_BUTTON_DPAD_DOWN, KeyCode::kDown},
};

// Each button and each stick axis of a controller is a source of its own,
// apart from the keyboard (0) and from every other controller.
constexpr std::uint32_t kAxisPart = 0x80;

Keys::Source SourceOf(SDL_JoystickID pad, std::uint32_t part) {
    return ((static_cast<Keys::Source>(pad) + 1) << 8) | part;
}

SDL_JoystickID PadOf(Keys::Source source) {
    return static_cast<SDL_JoystickID>((source >> 8) - 1);
}

void Lift(Keys::HeldKeys& held, Keys::Source source, std::uint8_t code,
          std::vector<KeyChange>& out) {
    if (held.Lift(code, source)) {
        out.push_back({code, false});
    }
}

void Press(Keys::HeldKeys& held, Keys::Source source, std::uint8_t code,
           std::vector<KeyChange>& out) {
    if (held.Press(code, source)) {
        out.push_back({code, true});
    }
}

} // namespace

std::optional<std::uint8_t> ButtonKey(SDL_GameControllerButton button) {
    for (const ButtonRow& row : kButtons) {
        if (row.button == button) {
            return row.code;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> StickKey(SDL_GameControllerAxis axis, std::int32_t value) {
    const bool horizontal = axis == SDL_CONTROLLER_AXIS_LEFTX;
    if ((!horizontal && axis != SDL_CONTROLLER_AXIS_LEFTY) ||
        (value >= -kDeadZone && value <= kDeadZone)) {
        return std::nullopt;
    }
    if (horizontal) {
        return value < 0 ? 0x25 : 0x27;
    }
    return value < 0 ? 0x26 : 0x28; // the stick's y grows downwards, as the screen's
}

std::vector<KeyChange> Button(Keys::HeldKeys& held, SDL_JoystickID pad,
                              SDL_GameControllerButton button, bool down) {
    std::vector<KeyChange> out;
    const auto code = ButtonKey(button);
    if (!code) {
        return out;
    }
    const Keys::Source source = SourceOf(pad, static_cast<std::uint32_t>(button));
    down ? Press(held, source, *code, out) : Lift(held, source, *code, out);
    return out;
}

std::vector<KeyChange> Axis(Keys::HeldKeys& held, SDL_JoystickID pad, SDL_GameControllerAxis axis,
                            std::int32_t value) {
    std::vector<KeyChange> out;
    if (axis != SDL_CONTROLLER_AXIS_LEFTX && axis != SDL_CONTROLLER_AXIS_LEFTY) {
        return out;
    }
    const Keys::Source source = SourceOf(pad, kAxisPart + static_cast<std::uint32_t>(axis));
    const auto before = held.Holding(source);
    const auto now = StickKey(axis, value);
    if (before == now) {
        return out;
    }
    if (before) {
        Lift(held, source, *before, out);
    }
    if (now) {
        Press(held, source, *now, out);
    }
    return out;
}

std::vector<KeyChange> Removed(Keys::HeldKeys& held, SDL_JoystickID pad) {
    std::vector<KeyChange> out;
    for (const std::uint8_t code :
         held.Release([pad](Keys::Source s) { return s != Keys::kKeyboard && PadOf(s) == pad; })) {
        out.push_back({code, false});
    }
    return out;
}

} // namespace Display::Pad
