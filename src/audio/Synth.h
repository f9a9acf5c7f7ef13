// The oscillators the effects and the music are made of.
#pragma once

#include <cstdint>
#include <vector>

namespace Sound {

enum class Wave : std::uint8_t { Sine, Triangle, Square, Saw, Noise };

// One oscillator (or low-passed noise with f0, f1 as its cut-off) sweeping
// from f0 to f1 over its length. `curve` shapes the fade after the attack:
// 2 is a plucked decay, below 1 a held note. `wobble` is a slow vibrato in
// Hz (for noise it sways the cut-off, which sounds like wind).
struct Voice {
    Wave wave = Wave::Sine;
    float f0 = 0, f1 = 0;
    float at = 0, length = 0;
    float attack = 0.005f;
    float gain = 0;
    float curve = 2;
    float wobble = 0;
};

// Adds the voice to `out` at `rate` samples per second. What runs past the
// end is cut, or with `wrap` carried round to the start, so a loop has no seam.
void AddVoice(const Voice& v, int rate, std::vector<float>& out, bool wrap = false);

// Takes out any constant offset: a one-pole high-pass at a few hertz, far
// below anything meant to be heard.
void RemoveOffset(std::vector<float>& out, int rate);

// Scales `out` down, if need be, so that its largest magnitude is `peak`.
void Normalise(std::vector<float>& out, float peak);

} // namespace Sound
