// Waves and their levels; one tick of a wave on its own for the
// benchmark.
#pragma once

namespace Procedures {

// Everything a wave does once: move, fire, collide, draw, present, sleep and
// settle lives.
void Tick();

void Levelcontroller();
void Loop();
void EnterField();
bool Proceed();
void ClearArrays();

} // namespace Procedures
