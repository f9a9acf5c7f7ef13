#include "game/Procedures.h"

namespace Procedures {

void Backgroundenemy() {}

void Ijspegel() {}

void Vuurbal() {}

} // namespace Procedures
