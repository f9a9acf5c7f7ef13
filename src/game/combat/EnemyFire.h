// Enemy fire and bullet motion.
#pragma once

namespace Morvek {

void EnemiesShoot();
void MoveBullets();

} // namespace Morvek
