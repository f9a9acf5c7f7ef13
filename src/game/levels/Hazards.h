// Castles, icicles and fireballs.
#pragma once

namespace Procedures {

void Backgroundenemy();
void Ijspegel();
void Vuurbal();

} // namespace Procedures
