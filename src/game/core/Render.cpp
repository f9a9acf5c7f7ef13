#include "game/Procedures.h"

namespace Procedures {

void Draw() {}

} // namespace Procedures
