#include "game/Game.h"

namespace Game {

Options options;

} // namespace Game
