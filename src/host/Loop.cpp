#include "host/Loop.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/World.h"
#include "game/settings/SettingsStore.h"

namespace Program {

void Perform(const Morvek::Wait& wait) {
    using Kind = Morvek::Wait::Kind;
    switch (wait.kind) {
    case Kind::Tick:
        Display::Sleep(wait.ms);
        break;
    case Kind::Idle:
        Display::IdleSleep(wait.ms);
        break;
    case Kind::Key:
        Display::Run::WaitForInput();
        break;
    case Kind::Outside:
        Display::Run::WaitOutside(wait.ms);
        break;
    case Kind::Quit:
        break;
    }
}

bool Play() {
    Morvek::Start(Morvek::world);
    for (;;) {
        const Morvek::Wait wait = Morvek::Step(Morvek::world);
        if (wait.kind == Morvek::Wait::Kind::Quit) {
            return true;
        }
        Display::UpdateWindow();
        Settings::Retry();
        Perform(wait);
        if (Display::Run::EndAsked()) {
            return false;
        }
    }
}

} // namespace Program
