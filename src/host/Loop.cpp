#include "host/Loop.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/WaitTrace.h"
#include "game/core/World.h"
#include "game/settings/SettingsStore.h"
#include "host/Demo.h"
#include "host/Online.h"
#include "host/Watch.h"

#include <cstdio>

namespace Program {

namespace {
bool autopilotPlaying = false;
} // namespace

bool AutopilotPlaying() {
    return autopilotPlaying;
}

void StartAutopilot(const Autopilot::Settings& settings) {
    autopilotPlaying = true;
    Autopilot::Start(settings);
    Display::Run::SetSyncHook(Autopilot::AtSync);
    Display::Run::SetLivePointer(false);
    Display::Run::SetEndHandler(Autopilot::Report);
    // With no pictures to take, a headless game need not keep its frames.
    Display::Run::SetKeepFrames(!settings.shots.empty());
}

void Perform(const Morvek::Wait& wait) {
    using Kind = Morvek::Wait::Kind;
    namespace Trace = Morvek::WaitTrace;
    switch (wait.kind) {
    case Kind::Tick:
        Trace::Write("sleep", wait.ms);
        Display::Sleep(wait.ms);
        break;
    case Kind::Idle:
        Trace::Write("idle", wait.ms);
        Display::IdleSleep(wait.ms);
        break;
    case Kind::Key:
        Trace::Write("input", 0);
        Display::Run::WaitForInput();
        break;
    case Kind::Outside:
        Display::Run::WaitOutside(wait.ms);
        break;
    case Kind::Quit:
        break;
    }
}

void Begin() {
    std::puts(""); // the program's first line, as it always was
    std::fflush(stdout);
    Morvek::Start(Morvek::world);
}

bool Play(const StepWatch& afterStep) {
    Begin();
    for (;;) {
        const Morvek::Wait wait = Morvek::Step(Morvek::world);
        if (afterStep) {
            afterStep(wait);
        }
        if (Watch::Over(wait)) {
            return false;
        }
        if (wait.kind == Morvek::Wait::Kind::Quit) {
            return true;
        }
        Morvek::Draw(Morvek::world);
        Display::UpdateWindow();
        Settings::Retry();
        Online::AfterStep(Morvek::world, wait);
        if (Demo::Due(wait)) {
            Demo::Play();
        }
        Perform(wait);
        if (Display::Run::EndAsked()) {
            return false;
        }
    }
}

} // namespace Program
