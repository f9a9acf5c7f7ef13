// Plays effects over each other and over a music loop. The game thread asks
// for effects through a small lock-free queue and names the tune with one
// atomic; the audio thread mixes, so neither ever waits.
#pragma once

#include "audio/Effects.h"
#include "audio/Music.h"

#include <atomic>
#include <cstddef>
#include <span>

namespace Sound {

class Mixer {
  public:
    // Renders every effect at `rate` samples per second.
    explicit Mixer(int rate);

    const std::vector<float>& Samples(Effect e) const { return samples_[Index(e)]; }

    // From one thread at a time; never blocks. Dropped while muted or when
    // the audio thread has fallen a whole queue behind.
    void Trigger(Effect e);
    // Audio thread: fills `out` (mono) with the mix, always within [-1, 1].
    void Mix(std::span<float> out);

    // Any thread, once per tune: hands over its rendered loop. Until then
    // the tune is silence.
    void LoadTune(Tune t, std::vector<float> loop);
    bool TuneLoaded(Tune t) const;
    // From one thread at a time; the music fades over to `t`.
    void SetTune(Tune t) { tune_.store(t, std::memory_order_relaxed); }
    // A held tune fades out and waits where it stopped, to go on from there.
    void HoldMusic(bool hold) { held_.store(hold, std::memory_order_relaxed); }
    // Audio thread: the tune playing or fading out.
    Tune NowPlaying() const { return playing_; }
    std::size_t MusicPosition() const { return musicAt_; }

    // From one thread at a time: how hard the storm blows now, 0 (still) to
    // 1. The wind rises and falls towards it over a fraction of a second.
    void SetWind(float strength) { wind_.store(strength, std::memory_order_relaxed); }
    // Audio thread: the wind's level in the last mix.
    float WindLevel() const { return windLevel_; }

    void SetMuted(bool muted) { muted_.store(muted); }
    bool Muted() const { return muted_.load(); }

    static constexpr std::size_t kVoices = 24;

  private:
    struct Playing {
        const std::vector<float>* samples = nullptr;
        std::size_t at = 0;
    };
    void Start(Effect e);
    void MixMusic(std::span<float> out);
    void MixWind(std::span<float> out);

    int rate_;
    std::array<std::vector<float>, kEffects> samples_;
    std::array<Playing, kVoices> voices_{};

    static constexpr std::uint32_t kQueue = 64;
    std::array<Effect, kQueue> queue_{};
    std::atomic<std::uint32_t> head_{0}; // next to write, game thread
    std::atomic<std::uint32_t> tail_{0}; // next to read, audio thread
    std::atomic<bool> muted_{false};

    std::array<std::vector<float>, kTunes> tunes_;
    std::array<std::atomic<bool>, kTunes> loaded_{};
    std::atomic<Tune> tune_{Tune::None};
    std::atomic<bool> held_{false};
    std::vector<float> windLoop_;
    std::atomic<float> wind_{0};
    // Audio thread only.
    Tune playing_ = Tune::None;
    std::size_t musicAt_ = 0;
    float musicLevel_ = 0;
    std::size_t windAt_ = 0;
    float windLevel_ = 0;
};

} // namespace Sound
