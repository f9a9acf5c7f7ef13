#include "game/Procedures.h"

namespace Procedures {

void Levelcontroller() {}

void Loop() {}

void EnterField() {}

bool Proceed() { return true; }

void LifeController() {}

void ClearArrays() {}

void Cheats() {}

} // namespace Procedures
