// The three boss fights, each run until the field is clear.
#pragma once

namespace Morvek {

void BossFight1();
void BossFight2();
void BossFight3();

} // namespace Morvek
