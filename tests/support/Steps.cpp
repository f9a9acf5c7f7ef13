#include "support/Steps.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/combat/TickOrder.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "game/screens/Layout.h"
#include "host/Loop.h"

#include <algorithm>
#include <variant>

namespace Steps {

using Morvek::world;

bool Once() {
    const Morvek::Wait wait = Morvek::Step(world);
    if (wait.kind == Morvek::Wait::Kind::Quit) {
        return false;
    }
    Morvek::Draw(world);
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
        Morvek::Draw(world);
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
    Morvek::Draw(Morvek::BattleScene{}, world);
    Display::UpdateWindow();
    Program::Perform({Morvek::Wait::Kind::Tick, world.tickMs});
    Morvek::TickSettle(Morvek::kWaveShape);
}

template <typename Fight> void FightTick(Fight& fight) {
    Morvek::Boss::Play(fight);
    Morvek::Draw(Morvek::BattleScene{.fight = fight}, world);
    Display::UpdateWindow();
    Program::Perform({Morvek::Wait::Kind::Tick, world.tickMs});
    Morvek::TickSettle(Morvek::kFightShape);
}

template void FightTick(Morvek::WindFight& fight);
template void FightTick(Morvek::IceFight& fight);
template void FightTick(Morvek::KingFight& fight);

// ---- A game under way ----

void InGame(const Morvek::BattleScene& battle, std::uint32_t wave) {
    using Morvek::GameScene;
    const bool fight = !std::holds_alternative<std::monostate>(battle.fight);
    world.scenes = Morvek::SceneStack{};
    // The menu's pass goes on after its New game button once the game is done.
    const auto& buttons = Morvek::Layout::kMenuButtons;
    const auto newGame = std::find_if(buttons.begin(), buttons.end(), [](const auto& b) {
        return b.number == Morvek::Layout::kButtonNewGame;
    });
    const auto after = static_cast<std::uint32_t>(newGame - buttons.begin() + 1);
    world.scenes.Push(Morvek::MenuScene{.inPass = true, .button = after, .gameOn = true});
    world.scenes.Push(GameScene{.at = fight ? GameScene::At::Fight : GameScene::At::Waves,
                                .wave = fight ? 0 : wave});
    world.scenes.Push(battle);
    world.mode = fight ? Morvek::Mode::BossFight : Morvek::Mode::Wave;
}

bool Ticks(std::uint64_t ticks) {
    const std::uint64_t until = std::uint64_t{world.counter} + ticks;
    return Until([until] { return world.counter >= until; });
}

} // namespace Steps
