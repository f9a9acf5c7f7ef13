#include "audio/Listen.h"

namespace Sound {

void Listen(Director& director, Mixer& mixer) {
    const Effects fx = director.Observe();
    mixer.SetTune(director.Music());
    mixer.HoldMusic(director.Paused());
    if (director.MutePressed()) {
        mixer.SetMuted(!mixer.Muted());
    }
    for (std::size_t i = 0; i < kEffects; ++i) {
        if (fx.test(i)) {
            mixer.Trigger(static_cast<Effect>(i));
        }
    }
}

} // namespace Sound
