#include "game/Procedures.h"

namespace Procedures {

void Level1() {}

void Level2() {}

void Level3() {}

} // namespace Procedures
