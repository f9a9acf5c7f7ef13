// Key table, key queue and mouse as the game sees them. Only the game thread
// touches these: input from the window arrives through sync points.
#include "display/Layer.h"
#include "display/Machinery.h"
#include "display/Sync.h"

#include <array>
#include <deque>
#include <utility>

namespace Display {

namespace {

std::array<bool, 256> key{};
std::deque<std::uint32_t> keybuf;
MouseState mouse;
bool focused = true; // a window counts as focused until it hears otherwise

} // namespace

void Exchange(InputState& other) {
    std::swap(key, other.key);
    std::swap(keybuf, other.keybuf);
    std::swap(mouse, other.mouse);
    std::swap(focused, other.focused);
}

void ClearInput() {
    key.fill(false);
    keybuf.clear();
    mouse = MouseState{};
    focused = true;
}

bool KeyQueued() {
    return !keybuf.empty();
}

void ApplyInput(const Run::InputEvent& event) {
    using Run::InputEvent;
    switch (event.kind) {
    case InputEvent::KeyDown:
        if (event.code < key.size()) {
            key[event.code] = true;
            keybuf.push_back(event.code);
        }
        break;
    case InputEvent::KeyUp:
        if (event.code < key.size()) {
            key[event.code] = false;
        }
        break;
    case InputEvent::MouseMove:
        mouse.x = event.x;
        mouse.y = event.y;
        break;
    case InputEvent::MouseDown:
    case InputEvent::MouseUp:
        (event.code == 0 ? mouse.left : mouse.right) = event.kind == InputEvent::MouseDown;
        break;
    case InputEvent::FocusLost:
    case InputEvent::FocusGained:
        focused = event.kind == InputEvent::FocusGained;
        break;
    default:
        break;
    }
}

bool ChangesLevel(const Run::InputEvent& event) {
    using Run::InputEvent;
    switch (event.kind) {
    case InputEvent::KeyDown:
    case InputEvent::KeyUp:
        return event.code < key.size() && key[event.code] != (event.kind == InputEvent::KeyDown);
    case InputEvent::MouseDown:
    case InputEvent::MouseUp:
        return (event.code == 0 ? mouse.left : mouse.right) !=
               (event.kind == InputEvent::MouseDown);
    default:
        return false;
    }
}

bool KeyDown(std::uint32_t k) {
    return window.state == STATE_ACTIVE && k < key.size() && key[k];
}

std::uint32_t TakeKey() {
    if (keybuf.empty()) {
        return 0;
    }
    const std::uint32_t k = keybuf.front();
    keybuf.pop_front();
    return k;
}

void FlushKeys() {
    keybuf.clear();
}

void FlushKey(std::uint32_t k) {
    std::erase(keybuf, k);
}

bool Focused() {
    return window.state == STATE_ACTIVE && focused;
}

void MousePos(std::int32_t& x, std::int32_t& y) {
    const bool open = window.state == STATE_ACTIVE;
    x = open ? mouse.x : 0;
    y = open ? mouse.y : 0;
}

bool MouseLeft() {
    return window.state == STATE_ACTIVE && mouse.left;
}

} // namespace Display
