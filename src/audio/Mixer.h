// Plays effects over each other. The game thread asks for effects through a
// small lock-free queue; the audio thread mixes, so neither ever waits.
#pragma once

#include "audio/Effects.h"

#include <atomic>
#include <cstddef>
#include <span>

namespace Sound {

class Mixer {
  public:
    // Renders every effect at `rate` samples per second.
    explicit Mixer(int rate);

    int Rate() const { return rate_; }
    const std::vector<float>& Samples(Effect e) const { return samples_[Index(e)]; }

    // From one thread at a time; never blocks. Dropped while muted or when
    // the audio thread has fallen a whole queue behind.
    void Trigger(Effect e);
    // Audio thread: fills `out` (mono) with the mix, always within [-1, 1].
    void Mix(std::span<float> out);

    void SetMuted(bool muted) { muted_.store(muted); }
    bool Muted() const { return muted_.load(); }

    static constexpr std::size_t kVoices = 24;

  private:
    struct Playing {
        const std::vector<float>* samples = nullptr;
        std::size_t at = 0;
    };
    void Start(Effect e);

    int rate_;
    std::array<std::vector<float>, kEffects> samples_;
    std::array<Playing, kVoices> voices_{};

    static constexpr std::uint32_t kQueue = 64;
    std::array<Effect, kQueue> queue_{};
    std::atomic<std::uint32_t> head_{0}; // next to write, game thread
    std::atomic<std::uint32_t> tail_{0}; // next to read, audio thread
    std::atomic<bool> muted_{false};
};

} // namespace Sound
