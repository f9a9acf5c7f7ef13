#include "game/Procedures.h"

namespace Procedures {

void NewGame() {}

void Save() {}

void HighScore() {}

} // namespace Procedures
