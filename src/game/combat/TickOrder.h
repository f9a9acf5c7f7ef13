// The order of a tick of play, written once for the waves and the boss
// fights. What a tick adds of its own comes in through TickSteps; where a
// fight's tick differs beyond that, TickSteps::Shape names it.
#pragma once

#include "game/core/World.h"

namespace Morvek {

class TickSteps {
  public:
    struct Shape {
        // The wave's enemies fire with the movers and its bats dive after the
        // dragon has moved; a fight fires by its phases, in its rules.
        bool waveFire;
        // A fight is given up with Escape before its rules run, a wave only
        // after the frame and the pause.
        bool escapeFirst;
    };

    explicit TickSteps(Shape shape) : shape_(shape) {}
    virtual ~TickSteps() = default;
    TickSteps(const TickSteps&) = delete;
    TickSteps& operator=(const TickSteps&) = delete;

    // Right after the tick counter: the wave's difficulty, a fight's counters.
    virtual void Count() = 0;
    // After the movers, guns and hits: the level's hazards, a fight's phases.
    virtual void Rules() = 0;

    const Shape& shape() const { return shape_; }

  private:
    Shape shape_;
};

inline constexpr TickSteps::Shape kWaveShape{.waveFire = true, .escapeFirst = false};
inline constexpr TickSteps::Shape kFightShape{.waveFire = false, .escapeFirst = true};

// A tick up to its frame: counters, movers, guns, hits, the rules and the
// field's. Its frame is then drawn (levels/Battle.h) and shows for a tick
// (the host's wait) before the pause is checked (core/Pause.h) and the tick
// settles.
void TickPlay(TickSteps& steps);
// The end of a tick, after its frame has shown and any pause: Escape (a
// wave's) and the lives. The game is over when no life is left.
void TickSettle(const TickSteps::Shape& shape);

} // namespace Morvek
