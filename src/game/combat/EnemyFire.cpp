#include "game/Procedures.h"

namespace Procedures {

void Enemyshoot() {}

void Bulletmove() {}

} // namespace Procedures
