// Sound in the page: not yet played there; the game runs silent and M still
// switches the muting the game shows and keeps.
#include "audio/Sound.h"

namespace Sound {

namespace {
bool muted = false;
}

bool Start(bool startMuted) {
    muted = startMuted;
    return false;
}

bool Opened() {
    return false;
}

bool Muted() {
    return muted;
}

void SetMuted(bool on) {
    muted = on;
}

} // namespace Sound
