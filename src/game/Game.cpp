#include "game/Game.h"

#include "display/Display.h"
#include "game/core/Catalogue.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"
#include "game/screens/Screen.h"

#include <cstdio>

namespace Game {

Options options;

void main() {
    using namespace Morvek;
    std::puts("");
    std::fflush(stdout);
    Display::Window(Layout::kTitleMenu, Display::kWidth, Display::kHeight);
    world.quitGame = false;
    Display::SetBuffering(true);
    LoadPictures();
    DrawMenu();
    world.difficulty = options.difficulty;
    world.tickMs = options.speed;
    for (;;) {
        Screen::ReadInput(Layout::kMenuGrid);
        // A screen runs inside MenuSelect and leaves its own last mouse position
        // behind, which the rest of this pass then uses.
        for (const auto& b : Layout::kMenuButtons) {
            MenuSelect(world.mouseX, world.mouseY, b.rect.x1, b.rect.y1, b.rect.x2, b.rect.y2,
                       b.number);
            if (world.quitGame) {
                FreePictures();
                return;
            }
        }
        Display::IdleSleep(20);
    }
}

} // namespace Game
