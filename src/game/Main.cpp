#include "game/Game.h"

int main() {
    Game::main();
    return 0;
}
