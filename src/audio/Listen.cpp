#include "audio/Listen.h"

namespace Sound {

bool Listen(Director& director, Mixer& mixer) {
    const Effects fx = director.Observe();
    mixer.SetTune(director.Music());
    mixer.HoldMusic(director.Paused());
    mixer.SetWind(director.Wind());
    const bool muteSwitched = director.MutePressed();
    if (muteSwitched) {
        mixer.SetMuted(!mixer.Muted());
    }
    for (std::size_t i = 0; i < kEffects; ++i) {
        if (fx.test(i)) {
            mixer.Trigger(static_cast<Effect>(i));
        }
    }
    return muteSwitched;
}

} // namespace Sound
