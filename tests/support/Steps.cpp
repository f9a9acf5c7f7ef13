#include "support/Steps.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/combat/TickOrder.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "host/Loop.h"

namespace Steps {

using Morvek::world;

bool Once() {
    const Morvek::Wait wait = Morvek::Step(world);
    if (wait.kind == Morvek::Wait::Kind::Quit) {
        return false;
    }
    Display::UpdateWindow();
    Program::Perform(wait);
    return !Display::Run::EndAsked();
}

bool Until(const std::function<bool()>& done, std::uint64_t limit) {
    for (std::uint64_t i = 0; i < limit; ++i) {
        const bool going = Once();
        if (done()) {
            return true;
        }
        if (!going) {
            return false;
        }
    }
    return false;
}

bool Run(const Morvek::Scene& scene, std::uint64_t limit) {
    const std::size_t depth = world.scenes.Size();
    world.scenes.Push(scene);
    for (std::uint64_t i = 0; i < limit; ++i) {
        const Morvek::Wait wait = Morvek::Step(world);
        if (world.scenes.Size() <= depth) {
            return true;
        }
        if (wait.kind == Morvek::Wait::Kind::Quit) {
            return false;
        }
        Display::UpdateWindow();
        Program::Perform(wait);
        if (Display::Run::EndAsked()) {
            return false;
        }
    }
    return false;
}

void WaveTick() {
    Morvek::WaveTickPlay();
    Display::UpdateWindow();
    Program::Perform({Morvek::Wait::Kind::Tick, world.tickMs});
    Morvek::TickSettle(Morvek::kWaveShape);
}

template <typename Fight> void FightTick(Fight& fight) {
    Morvek::Boss::Play(fight);
    Display::UpdateWindow();
    Program::Perform({Morvek::Wait::Kind::Tick, world.tickMs});
    Morvek::TickSettle(Morvek::kFightShape);
}

template void FightTick(Morvek::WindFight& fight);
template void FightTick(Morvek::IceFight& fight);
template void FightTick(Morvek::KingFight& fight);

} // namespace Steps
