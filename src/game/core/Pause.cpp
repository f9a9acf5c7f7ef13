#include "game/core/Pause.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

namespace Morvek {

namespace {

constexpr std::array<std::uint32_t, 2> kPauseKeys{Display::KeyCode::kP, Display::KeyCode::kPause};
constexpr std::uint32_t kPassMs = 20;
constexpr std::string_view kPaused = "PAUSED";

// A pause starts on a change of key or focus (world.pauseKeyWasDown,
// world.hadFocus), so a key still held from before, or a focus lost in the
// menu and won back, pauses nothing.
bool PauseKeyPressed() {
    const bool down = std::any_of(kPauseKeys.begin(), kPauseKeys.end(),
                                  [](std::uint32_t k) { return Display::KeyDown(k); });
    const bool pressed = down && !world.pauseKeyWasDown;
    world.pauseKeyWasDown = down;
    return pressed;
}

bool FocusJustLost() {
    const bool focus = Display::Focused();
    const bool lost = world.hadFocus && !focus;
    world.hadFocus = focus;
    return lost;
}

} // namespace

bool PauseAsked() {
    const bool pressed = PauseKeyPressed();
    const bool lost = FocusJustLost();
    return std::exchange(world.pauseKept, false) || pressed || lost;
}

void KeepPauseAsked() {
    if (PauseKeyPressed()) {
        world.pauseKept = true;
    }
}

Next Update(PauseScene& pause, World& w) {
    if (!pause.shown) {
        // The banner lets the sound look at the game: it must see the pause.
        pause.shown = true;
        Display::ShowBanner(kPaused);
        return IdleWait(kPassMs);
    }
    // A headless script skips, in whole passes, to its next event.
    FocusJustLost();
    if (!PauseKeyPressed()) {
        return IdleWait(kPassMs);
    }
    // P is a letter: the presses that paused must not turn up in a name entry.
    for (const std::uint32_t k : kPauseKeys) {
        Display::FlushKey(k);
    }
    w.mode = pause.interrupted;
    Display::HideBanner();
    return Done();
}

} // namespace Morvek
