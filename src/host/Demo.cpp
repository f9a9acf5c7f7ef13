#include "host/Demo.h"

#include "display/Display.h"
#include "display/Host.h"
#include "display/Run.h"
#include "game/autopilot/Autopilot.h"
#include "game/core/World.h"
#include "host/Loop.h"
#include "host/SideGame.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <variant>

namespace Program::Demo {

namespace {

constexpr const char* kBand = "DEMO \xE2\x80\x94 press any key";

// The window test shortens the wait (MORVEK_DEMO_IDLE_MS); players get kIdleMs.
std::uint64_t IdleNeeded() {
    static const std::uint64_t ms = [] {
        const char* given = std::getenv("MORVEK_DEMO_IDLE_MS");
        return given != nullptr ? std::strtoull(given, nullptr, 10) : kIdleMs;
    }();
    return ms;
}

} // namespace

bool Due(const Morvek::Wait& wait) {
    const auto& w = Morvek::world;
    return wait.kind == Morvek::Wait::Kind::Idle && !Display::Run::Headless() &&
           !Display::Run::ScriptPlaying() && !AutopilotPlaying() && !w.scenes.Empty() &&
           std::holds_alternative<Morvek::MenuScene>(w.scenes.At(w.scenes.Size() - 1)) &&
           w.mode == Morvek::Mode::Menu && Display::Host::IdleMs() >= IdleNeeded();
}

void Play() {
    SideGame demo;
    demo.Within([] {
        Display::Run::SetHeadless(true);
        Display::Run::SetKeepFrames(true);
        Autopilot::Start({.games = 1, .tickLimit = 0, .cheats = true, .shots = {}});
        Display::Run::SetSyncHook(Autopilot::AtSync);
    });
    bool pressed = false;
    // Any press ends it, and the close box, which the program's run then hears.
    Display::Host::Claim(
        [&pressed](const Display::Host::Taken& taken) {
            using Kind = Display::Host::Taken::Kind;
            pressed = pressed || (taken.kind != Kind::Move && taken.kind != Kind::Wheel);
        },
        kBand);
    const auto started = std::chrono::steady_clock::now();
    // The demo's clock is paced by the host's: each turn's frame shows until
    // the wall clock has caught up with the demo's.
    while (!pressed && !Display::Run::EndAsked() && demo.Turn()) {
        const std::uint64_t due = demo.Within([] {
            Display::Host::Present();
            return Display::Run::ClockMs();
        });
        const auto now =
            static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - started)
                                           .count());
        // Behind (a slow machine), the window is still served every turn,
        // or no press could end the demo.
        const auto wait = due > now ? std::min<std::uint64_t>(due - now, 100) : 0;
        Display::Host::Serve(static_cast<std::uint32_t>(wait),
                             [&pressed] { return pressed || Display::Run::EndAsked(); });
    }
    Display::Host::Unclaim();
    Display::Host::Present();
}

} // namespace Program::Demo
