#include "game/screens/Focus.h"

#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"

#include <array>
#include <cstdlib>

namespace Morvek::Focus {

namespace {

namespace KeyCode = Display::KeyCode;

enum Key : std::uint8_t { Left, Up, Right, Down, Enter, Fire, Leave };
constexpr std::array<std::uint32_t, 7> kKeys{KeyCode::kLeft,  KeyCode::kUp,     KeyCode::kRight,
                                             KeyCode::kDown,  KeyCode::kReturn, KeyCode::kSpace,
                                             KeyCode::kEscape};
static_assert(kKeys.size() == std::tuple_size_v<decltype(MenuFocus::wasDown)>);
constexpr std::int32_t kNone = MenuFocus::kNone;
using Leader = MenuFocus::Leader;

const Layout::Grid* GridOf(const MenuFocus& f) {
    return f.grid == kNone ? nullptr : Layout::kGridById[static_cast<std::size_t>(f.grid)];
}

// The button an arrow leads to: the next column in the row, or the nearest
// column of the next row; the same one at an edge.
std::int32_t Step(const Layout::Grid& grid, std::int32_t from, Key key) {
    const auto& buttons = grid.buttons;
    const Layout::NavButton& at = buttons[static_cast<std::size_t>(from)];
    const int dRow = key == Up ? -1 : key == Down ? 1 : 0;
    const int dColumn = key == Left ? -1 : key == Right ? 1 : 0;
    const auto row = static_cast<std::int64_t>(at.row) + dRow;
    const auto column = static_cast<std::int64_t>(at.column) + dColumn;
    std::int32_t best = from;
    std::int64_t bestGap = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const auto gap = std::llabs(static_cast<std::int64_t>(buttons[i].column) - column);
        if (static_cast<std::int64_t>(buttons[i].row) != row || (dColumn != 0 && gap != 0)) {
            continue;
        }
        if (best == from || gap < bestGap) {
            best = static_cast<std::int32_t>(i);
            bestGap = gap;
        }
    }
    return best;
}

void Settle(MenuFocus& f) {
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        f.wasDown[k] = Display::KeyDown(kKeys[k]);
    }
    f.escape = false;
}

void Open(MenuFocus& f, const Layout::Grid& next) {
    if (f.grid != kNone) {
        f.remembered[static_cast<std::size_t>(f.grid)] = f.lit;
    }
    f.grid = static_cast<std::int32_t>(next.id);
    f.lit = kNone;
    f.leader = Leader::None;
    f.chosen = kNone;
    Settle(f);
    f.lastX = world.mouseX;
    f.lastY = world.mouseY;
}

std::int32_t Find(const Layout::Rect& r) {
    const Layout::Grid* grid = GridOf(world.focus);
    if (grid == nullptr) {
        return kNone;
    }
    for (std::size_t i = 0; i < grid->buttons.size(); ++i) {
        if (grid->buttons[i].rect == r) {
            return static_cast<std::int32_t>(i);
        }
    }
    return kNone;
}

} // namespace

void Carry(const Layout::Grid& to) {
    MenuFocus& f = world.focus;
    const Layout::Grid* from = GridOf(f);
    const bool same = from != nullptr && f.lit != kNone &&
                      static_cast<std::size_t>(f.lit) < to.buttons.size() &&
                      to.buttons[static_cast<std::size_t>(f.lit)].rect ==
                          from->buttons[static_cast<std::size_t>(f.lit)].rect;
    f.grid = static_cast<std::int32_t>(to.id);
    f.lit = same ? f.lit : kNone;
    f.chosen = kNone;
}

void Poll(const Layout::Grid& next) {
    MenuFocus& f = world.focus;
    if (f.grid != static_cast<std::int32_t>(next.id)) {
        Open(f, next);
        return;
    }
    if (world.mouseX != f.lastX || world.mouseY != f.lastY || Display::MouseLeft()) {
        f.leader = Leader::Mouse;
        f.lit = kNone;
        f.lastX = world.mouseX;
        f.lastY = world.mouseY;
    }
    f.chosen = kNone;
    f.escape = false;
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        const bool down = Display::KeyDown(kKeys[k]);
        const bool pressed = down && !f.wasDown[k];
        f.wasDown[k] = down;
        const auto key = static_cast<Key>(k);
        if (pressed && key == Leave) {
            f.escape = true;
            continue;
        }
        if (!pressed || next.buttons.empty()) {
            continue;
        }
        if (key == Enter || key == Fire) {
            f.chosen = f.lit;
        } else if (f.lit == kNone) {
            // The first arrow lights the button last lit here, or the first.
            f.leader = Leader::Keys;
            const std::int32_t last = f.remembered[next.id];
            f.lit = last != kNone ? last : 0;
        } else {
            f.lit = Step(next, f.lit, key);
        }
    }
}

void Settle() {
    Settle(world.focus);
}

bool Escaped() {
    return world.focus.escape;
}

bool Lit(const Layout::Rect& r) {
    return world.focus.lit != kNone && Find(r) == world.focus.lit;
}

bool MouseLeads() {
    return world.focus.leader == Leader::Mouse;
}

bool Chosen(const Layout::Rect& r) {
    if (world.focus.chosen == kNone || Find(r) != world.focus.chosen) {
        return false;
    }
    world.focus.chosen = kNone;
    return true;
}

} // namespace Morvek::Focus
