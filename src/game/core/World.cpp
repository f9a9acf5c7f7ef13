#include "game/core/World.h"

namespace Procedures {

World world;

} // namespace Procedures
