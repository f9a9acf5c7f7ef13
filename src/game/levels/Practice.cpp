#include "game/Procedures.h"

namespace Procedures {

void PracticeStart() {}

} // namespace Procedures
