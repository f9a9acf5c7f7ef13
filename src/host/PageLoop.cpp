// The loop in a web page: the browser calls Frame once an animation frame,
// and each frame runs the steps whose waits are over by then. Nothing ever
// blocks the page's one thread.
#ifdef __EMSCRIPTEN__

#include "host/Loop.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/World.h"
#include "game/settings/SettingsStore.h"
#include "host/Online.h"
#include "host/Watch.h"

#include <emscripten.h>

#include <algorithm>

namespace Program {

namespace {

// A frame that comes late catches up on this many steps at most, so a tab
// brought back after a while does not run minutes of play at once.
constexpr int kStepsPerFrame = 8;
constexpr double kMostBehindMs = 100;
// Fast forward takes this much of each animation frame for steps, and leaves
// the rest to the browser, to show the frame and hear the page.
constexpr double kFastForwardMs = 12;

Morvek::Wait pending{};
double dueAt = 0; // when the pending wait is over, in the page's milliseconds

bool Over(double now) {
    if (pending.kind == Morvek::Wait::Kind::Key) {
        return Display::Run::InputWaiting();
    }
    return Display::Run::FastForward() || now >= dueAt;
}

// Whether the frame that began at `now` has room for another step after `steps`.
bool Room(int steps, double now) {
    if (Display::Run::FastForward()) {
        return emscripten_get_now() - now < kFastForwardMs;
    }
    return steps < kStepsPerFrame;
}

[[noreturn]] void Finish(int code) {
    emscripten_cancel_main_loop();
    Display::Run::End(code);
}

void Frame() {
    const double now = emscripten_get_now();
    Online::Pump();
    for (int i = 0; Room(i, now) && Over(now); ++i) {
        Perform(pending);
        if (const auto code = Display::Run::EndAsked()) {
            Finish(*code);
        }
        pending = Morvek::Step(Morvek::world);
        if (Watch::Over(pending) || pending.kind == Morvek::Wait::Kind::Quit) {
            Finish(Display::Run::EndAsked().value_or(0));
        }
        Morvek::Draw(Morvek::world);
        Display::UpdateWindow();
        Settings::Retry();
        // Never waits here: the page's own HTML takes what the host asks.
        Online::AfterStep(Morvek::world, pending);
        // Each wait runs from the end of the last, as a sleep would; a page
        // far behind starts again from now, and so does the pace after a
        // fast forward.
        dueAt =
            Display::Run::FastForward() ? now : std::max(dueAt, now - kMostBehindMs) + pending.ms;
    }
}

} // namespace

void PlayInPage() {
    Begin();
    pending = Morvek::Step(Morvek::world);
    if (Watch::Over(pending) || pending.kind == Morvek::Wait::Kind::Quit) {
        Finish(Display::Run::EndAsked().value_or(0));
    }
    Morvek::Draw(Morvek::world);
    Display::UpdateWindow();
    Online::AfterStep(Morvek::world, pending);
    dueAt = emscripten_get_now() + pending.ms;
    // Returns to the browser: main ends here and the frames go on.
    emscripten_set_main_loop(Frame, 0, true);
}

} // namespace Program

#endif
