#include "display/KeyMap.h"

#include <algorithm>

namespace Display::Keys {

namespace {

struct KeyRow {
    SDL_Keycode sym;
    std::uint8_t code;
};

// Keys whose virtual-key code is not simply their character.
constexpr std::array kTable{
    KeyRow{SDLK_LEFT, 0x25},      KeyRow{SDLK_UP, 0x26},           KeyRow{SDLK_RIGHT, 0x27},
    KeyRow{SDLK_DOWN, 0x28},      KeyRow{SDLK_SPACE, 0x20},        KeyRow{SDLK_LSHIFT, 0x10},
    KeyRow{SDLK_RSHIFT, 0x10},    KeyRow{SDLK_LCTRL, 0x11},        KeyRow{SDLK_RCTRL, 0x11},
    KeyRow{SDLK_ESCAPE, 0x1B},    KeyRow{SDLK_RETURN, 0x0D},       KeyRow{SDLK_KP_ENTER, 0x0D},
    KeyRow{SDLK_BACKSPACE, 0x08}, KeyRow{SDLK_TAB, 0x09},          KeyRow{SDLK_DELETE, 0x2E},
    KeyRow{SDLK_INSERT, 0x2D},    KeyRow{SDLK_HOME, 0x24},         KeyRow{SDLK_END, 0x23},
    KeyRow{SDLK_PAGEUP, 0x21},    KeyRow{SDLK_PAGEDOWN, 0x22},     KeyRow{SDLK_PAUSE, 0x13},
    KeyRow{SDLK_CAPSLOCK, 0x14},  KeyRow{SDLK_KP_0, 0x60},         KeyRow{SDLK_KP_1, 0x61},
    KeyRow{SDLK_KP_2, 0x62},      KeyRow{SDLK_KP_3, 0x63},         KeyRow{SDLK_KP_4, 0x64},
    KeyRow{SDLK_KP_5, 0x65},      KeyRow{SDLK_KP_6, 0x66},         KeyRow{SDLK_KP_7, 0x67},
    KeyRow{SDLK_KP_8, 0x68},      KeyRow{SDLK_KP_9, 0x69},         KeyRow{SDLK_KP_MULTIPLY, 0x6A},
    KeyRow{SDLK_KP_PLUS, 0x6B},   KeyRow{SDLK_KP_MINUS, 0x6D},     KeyRow{SDLK_KP_PERIOD, 0x6E},
    KeyRow{SDLK_KP_DIVIDE, 0x6F}, KeyRow{SDLK_SEMICOLON, 0xBA},    KeyRow{SDLK_EQUALS, 0xBB},
    KeyRow{SDLK_COMMA, 0xBC},     KeyRow{SDLK_MINUS, 0xBD},        KeyRow{SDLK_PERIOD, 0xBE},
    KeyRow{SDLK_SLASH, 0xBF},     KeyRow{SDLK_BACKQUOTE, 0xC0},    KeyRow{SDLK_LEFTBRACKET, 0xDB},
    KeyRow{SDLK_BACKSLASH, 0xDC}, KeyRow{SDLK_RIGHTBRACKET, 0xDD}, KeyRow{SDLK_QUOTE, 0xDE},
    KeyRow{SDLK_F1, 0x70},        KeyRow{SDLK_F2, 0x71},           KeyRow{SDLK_F3, 0x72},
    KeyRow{SDLK_F4, 0x73},        KeyRow{SDLK_F5, 0x74},           KeyRow{SDLK_F6, 0x75},
    KeyRow{SDLK_F7, 0x76},        KeyRow{SDLK_F8, 0x77},           KeyRow{SDLK_F9, 0x78},
    KeyRow{SDLK_F12, 0x7B},
};

std::optional<std::uint8_t> Code(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) {
        return static_cast<std::uint8_t>('A' + (sym - SDLK_a));
    }
    if (sym >= SDLK_0 && sym <= SDLK_9) {
        return static_cast<std::uint8_t>('0' + (sym - SDLK_0));
    }
    const auto row =
        std::find_if(kTable.begin(), kTable.end(), [sym](const KeyRow& r) { return r.sym == sym; });
    if (row == kTable.end()) {
        return std::nullopt;
    }
    return row->code;
}

} // namespace

std::optional<std::uint8_t> MapKey(SDL_Keycode sym, std::uint16_t mod, bool down) {
    // F10 opens the window menu on the system the game was made for, so it
    // is a system key like Alt and never reaches the game.
    if (sym == SDLK_LALT || sym == SDLK_RALT || sym == SDLK_F10) {
        return std::nullopt;
    }
    if (down && (mod & KMOD_ALT) != 0) {
        return std::nullopt;
    }
    return Code(sym);
}

bool FullscreenToggle(SDL_Keycode sym, std::uint16_t mod) {
    const bool enter = sym == SDLK_RETURN || sym == SDLK_KP_ENTER;
    return sym == SDLK_F11 || (enter && (mod & KMOD_ALT) != 0);
}

bool HeldKeys::Held(std::uint8_t code) const {
    return std::any_of(held_.begin(), held_.end(),
                       [code](const Hold& h) { return h.code == code; });
}

bool HeldKeys::Press(std::uint8_t code, Source source) {
    const bool already = std::any_of(held_.begin(), held_.end(), [&](const Hold& h) {
        return h.code == code && h.source == source;
    });
    if (!already) {
        held_.push_back({source, code});
    }
    return !already;
}

bool HeldKeys::Lift(std::uint8_t code, Source source) {
    std::erase_if(held_, [&](const Hold& h) { return h.code == code && h.source == source; });
    return !Held(code);
}

std::optional<std::uint8_t> HeldKeys::Holding(Source source) const {
    const auto h = std::find_if(held_.begin(), held_.end(),
                                [source](const Hold& x) { return x.source == source; });
    return h == held_.end() ? std::nullopt : std::optional<std::uint8_t>(h->code);
}

} // namespace Display::Keys
