// A quiet music loop for each level and one for the boss fights, written as
// short patterns over a chord per bar and synthesised when the sound starts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Sound {

enum class Tune : std::uint8_t { None, Level1, Level2, Level3, Boss };
constexpr std::size_t kTunes = 4; // None is silence

// Index of a tune that plays, 0 to kTunes - 1.
constexpr std::size_t TuneIndex(Tune t) {
    return static_cast<std::size_t>(t) - 1;
}

std::string_view Name(Tune t);

// Samples in one pass of the loop at `rate` per second.
std::size_t LoopLength(Tune t, int rate);

// One pass of the loop as mono samples: notes that ring past the end are
// carried round to the start, so played over and over it has no seam.
std::vector<float> Render(Tune t, int rate);

// The loudest sample of any tune; the music sits under the effects.
constexpr float kMusicPeak = 0.3f;

} // namespace Sound
