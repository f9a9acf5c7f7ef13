#include "game/Procedures.h"

namespace Procedures {

void Dropitem(card /*i*/) {}

void Itemmove() {}

void ObjectCollect(card /*i*/, card /*j*/) {}

void ObjectText(card /*i*/, card /*j*/) {}

} // namespace Procedures
