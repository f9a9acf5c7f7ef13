#include "game/core/World.h"

namespace Morvek {

World world;

} // namespace Morvek
