#include "game/Game.h"

#include "display/Wimdows.h"
#include "game/core/Catalogue.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"
#include "game/screens/Screen.h"

#include <cstdio>

namespace Game {

Options options;

namespace {
// Module Game's own: the button being tested and the last result of MenuSelect.
Procedures::card i = 0;
bool x = false;
} // namespace

void main() {
    using namespace Procedures;
    std::puts("");
    std::fflush(stdout);
    Wimdows::Window(Layout::kTitleMenu, Wimdows::kWidth, Wimdows::kHeight);
    quitGame = false;
    Wimdows::SetBuffering(true);
    Loadbmp();
    MenuDraw();
    difficulty = options.difficulty;
    speed = options.speed;
    for (;;) {
        Screen::ReadInput(Layout::kMenuGrid);
        // A screen runs inside MenuSelect and leaves its own last mouse position
        // behind, which the rest of this pass then uses.
        for (const auto& b : Layout::kMenuButtons) {
            i = b.number;
            x = MenuSelect(mouseX, mouseY, b.rect.x1, b.rect.y1, b.rect.x2, b.rect.y2, i);
            if (quitGame) {
                Destroybmp();
                return;
            }
        }
        Wimdows::IdleSleep(20);
    }
}

} // namespace Game
