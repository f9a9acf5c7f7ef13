#include "game/screens/Focus.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "game/core/World.h"

#include <array>
#include <cstdlib>

namespace Morvek::Focus {

namespace {

namespace KeyCode = Display::KeyCode;

enum Key : std::uint8_t { Left, Up, Right, Down, Enter, Fire };
constexpr std::array<std::uint32_t, 6> kKeys{KeyCode::kLeft, KeyCode::kUp,     KeyCode::kRight,
                                             KeyCode::kDown, KeyCode::kReturn, KeyCode::kSpace};
constexpr int kNone = -1;

// Who pointed at a button last. A screen opens with neither, so a mouse
// resting where the last screen was clicked lights nothing.
enum class Leader : std::uint8_t { None, Mouse, Keys };

const Layout::Grid* grid = nullptr;
int lit = kNone;    // index into grid->buttons
int chosen = kNone; // chosen in this pass
Leader leader = Leader::Mouse;
std::array<int, Layout::kGrids> remembered = [] {
    std::array<int, Layout::kGrids> r{};
    r.fill(kNone);
    return r;
}();
std::array<bool, kKeys.size()> wasDown{};
std::int32_t lastX = 0, lastY = 0;

// The button an arrow leads to: the next column in the row, or the nearest
// column of the next row; the same one at an edge.
int Step(int from, Key key) {
    const auto& buttons = grid->buttons;
    const Layout::NavButton& at = buttons[static_cast<std::size_t>(from)];
    const int dRow = key == Up ? -1 : key == Down ? 1 : 0;
    const int dColumn = key == Left ? -1 : key == Right ? 1 : 0;
    const auto row = static_cast<std::int64_t>(at.row) + dRow;
    const auto column = static_cast<std::int64_t>(at.column) + dColumn;
    int best = from;
    std::int64_t bestGap = 0;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const auto gap = std::llabs(static_cast<std::int64_t>(buttons[i].column) - column);
        if (static_cast<std::int64_t>(buttons[i].row) != row || (dColumn != 0 && gap != 0)) {
            continue;
        }
        if (best == from || gap < bestGap) {
            best = static_cast<int>(i);
            bestGap = gap;
        }
    }
    return best;
}

void Open(const Layout::Grid& next) {
    if (grid != nullptr) {
        remembered[grid->id] = lit;
    }
    grid = &next;
    lit = kNone;
    leader = Leader::None;
    chosen = kNone;
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        wasDown[k] = Display::KeyDown(kKeys[k]);
    }
    lastX = world.mouseX;
    lastY = world.mouseY;
}

int Find(const Layout::Rect& r) {
    if (grid == nullptr) {
        return kNone;
    }
    for (std::size_t i = 0; i < grid->buttons.size(); ++i) {
        if (grid->buttons[i].rect == r) {
            return static_cast<int>(i);
        }
    }
    return kNone;
}

} // namespace

void Poll(const Layout::Grid& next) {
    if (grid != &next) {
        Open(next);
        return;
    }
    if (world.mouseX != lastX || world.mouseY != lastY || Display::MouseLeft()) {
        leader = Leader::Mouse;
        lit = kNone;
        lastX = world.mouseX;
        lastY = world.mouseY;
    }
    chosen = kNone;
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        const bool down = Display::KeyDown(kKeys[k]);
        const bool pressed = down && !wasDown[k];
        wasDown[k] = down;
        if (!pressed || grid->buttons.empty()) {
            continue;
        }
        const auto key = static_cast<Key>(k);
        if (key == Enter || key == Fire) {
            chosen = lit;
        } else if (lit == kNone) {
            // The first arrow lights the button last lit here, or the first.
            leader = Leader::Keys;
            lit = remembered[grid->id] != kNone ? remembered[grid->id] : 0;
        } else {
            lit = Step(lit, key);
        }
    }
}

void Reset() {
    grid = nullptr;
    lit = chosen = kNone;
    leader = Leader::Mouse;
    remembered.fill(kNone);
}

bool Lit(const Layout::Rect& r) {
    return lit != kNone && Find(r) == lit;
}

bool MouseLeads() {
    return leader == Leader::Mouse;
}

bool Chosen(const Layout::Rect& r) {
    if (chosen == kNone || Find(r) != chosen) {
        return false;
    }
    chosen = kNone;
    return true;
}

} // namespace Morvek::Focus
