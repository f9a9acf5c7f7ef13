// The program's entry: opens the window, loads the pictures and runs the menu.
#pragma once

namespace Game {

void main();

} // namespace Game
