#include "game/Game.h"

#include "game/Procedures.h"

namespace Game {

Options options;

void main() {}

} // namespace Game
