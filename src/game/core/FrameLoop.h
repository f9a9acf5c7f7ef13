// One tick of a wave, on its own for the benchmark.
#pragma once

namespace Procedures {

// Everything a wave does once: move, fire, collide, draw, present, sleep and
// settle lives.
void Tick();

} // namespace Procedures
