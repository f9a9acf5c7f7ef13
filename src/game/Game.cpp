#include "game/Game.h"

#include "game/Procedures.h"

namespace Game {

void main() {}

} // namespace Game
