#include "game/Procedures.h"

namespace Procedures {

void Story() {}

void Credit() {}

} // namespace Procedures
