// The three level scripts and their interludes.
#pragma once

namespace Procedures {

void Level1();
void Level2();
void Level3();

} // namespace Procedures
