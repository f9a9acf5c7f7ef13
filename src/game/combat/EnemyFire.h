// Enemy fire and bullet motion.
#pragma once

namespace Morvek {

// Enemies whose time has come fire at the dragon.
void EnemiesShoot();
// Every shot, the dragon's and the enemies', one tick along.
void MoveBullets();

} // namespace Morvek
