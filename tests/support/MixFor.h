// Runs a mixer the way the audio device does, a block at a time.
#pragma once

#include "audio/Mixer.h"

#include <vector>

namespace TestAudio {

// At least `frames` samples of the mix, in blocks of 512.
inline std::vector<float> MixFor(Sound::Mixer& mixer, std::size_t frames) {
    std::vector<float> out;
    std::vector<float> block(512);
    while (out.size() < frames) {
        mixer.Mix(block);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

} // namespace TestAudio
