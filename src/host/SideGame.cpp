#include "host/SideGame.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "host/Loop.h"

namespace Program {

SideGame::Active::Active(SideGame& game) : game_(game) {
    game_.run_.Exchange();
    std::swap(Morvek::world, game_.world_);
    std::swap(Game::options, game_.options_);
    Morvek::ScorePlace::Exchange(game_.scores_);
    Settings::Exchange(game_.settings_);
    Display::Bindings::Exchange(game_.keys_);
}

SideGame::Active::~Active() {
    Display::Bindings::Exchange(game_.keys_);
    Settings::Exchange(game_.settings_);
    Morvek::ScorePlace::Exchange(game_.scores_);
    std::swap(Game::options, game_.options_);
    std::swap(Morvek::world, game_.world_);
    game_.run_.Exchange();
}

bool SideGame::Turn(const StepWatch& afterStep) {
    if (over_) {
        return false;
    }
    Within([this, &afterStep] {
        if (!started_) {
            started_ = true;
            Morvek::Start(Morvek::world);
        } else {
            Perform(pending_);
        }
        over_ = Display::Run::EndAsked().has_value();
        if (!over_) {
            pending_ = Morvek::Step(Morvek::world);
            if (afterStep) {
                afterStep(pending_);
            }
            over_ = pending_.kind == Morvek::Wait::Kind::Quit;
            if (!over_) {
                Morvek::Draw(Morvek::world);
                Display::UpdateWindow();
            }
        }
    });
    return !over_;
}

} // namespace Program
