// A second game beside the program's own and isolated from it: its own world
// and options, its own highscore table in memory, its own settings (the
// defaults, never written) and key bindings, and its own run (clock, script,
// recording, keys, frames, pictures). The attract demo and the replay viewer are made of
// it. It runs headless; the host shows its frames where it wants them.
#pragma once

#include "display/Bindings.h"
#include "display/Context.h"
#include "game/Game.h"
#include "game/core/Next.h"
#include "game/core/World.h"
#include "game/screens/ScorePlace.h"
#include "game/settings/SettingsStore.h"

#include <functional>
#include <utility>

namespace Program {

class SideGame {
  public:
    SideGame() = default;

    // Runs `act` with this game active: the game and the display layer work on
    // its world and its run, and on the program's own again afterwards.
    template <typename Act> decltype(auto) Within(Act&& act) {
        const Active active(*this);
        return std::forward<Act>(act)();
    }

    // One turn of the host's loop for this game: the last step's wait
    // performed, then the next step and its frame. The first turn starts the
    // game. False once the game quit or its run asked to end. `afterStep`, when
    // given, sees the wait the step asks for, with this game active; it must
    // only read.
    using StepWatch = std::function<void(const Morvek::Wait& wait)>;
    bool Turn(const StepWatch& afterStep = {});

  private:
    // While it lives, this game is the active one.
    class Active {
      public:
        explicit Active(SideGame& game);
        ~Active();
        Active(const Active&) = delete;
        Active& operator=(const Active&) = delete;

      private:
        SideGame& game_;
    };

    Morvek::World world_{};
    Game::Options options_{};
    Morvek::ScorePlace::Keeping scores_{};
    Settings::Kept settings_{};
    Display::Bindings::InForce keys_{};
    Display::Run::Context run_;
    bool started_ = false;
    bool over_ = false;
    Morvek::Wait pending_{};
};

} // namespace Program
