#include "game/Procedures.h"

namespace Procedures {

card DynamicDifficulty(card actdiff) { return actdiff; }

} // namespace Procedures
