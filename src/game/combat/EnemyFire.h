// Enemy fire and bullet motion.
#pragma once

namespace Procedures {

void Enemyshoot();
void Bulletmove();

} // namespace Procedures
