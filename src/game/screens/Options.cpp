#include "game/Procedures.h"

namespace Procedures {

void MenuOptions() {}

} // namespace Procedures
