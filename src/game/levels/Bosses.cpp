#include "game/Procedures.h"

namespace Procedures {

void BossFight1() {}

void BossFight2() {}

void BossFight3() {}

} // namespace Procedures
