#include "game/Procedures.h"

namespace Procedures {

void Loadbmp() {}

void Destroybmp() {}

} // namespace Procedures
