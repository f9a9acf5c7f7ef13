#include "game/Procedures.h"

namespace Procedures {

void GameOver() {}

void GameOverSave() {}

} // namespace Procedures
