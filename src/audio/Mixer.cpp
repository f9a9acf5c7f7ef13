#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>

namespace Sound {

namespace {

// Many loud effects at once squash softly towards the ceiling instead of
// clipping; a single effect passes almost untouched.
constexpr float kMaster = 0.8f;
constexpr float kCeiling = 0.95f;
// A change of tune fades the old one out and the new one in, each this long.
constexpr float kFadeSeconds = 0.6f;
// A gust comes on quickly and dies away more slowly, but never lingers: at
// least this fast a fall, so the wind is gone within a second of the storm.
constexpr float kGustSeconds = 0.12f;
constexpr float kLullSeconds = 0.3f;
constexpr float kLongestLull = 1.5f;

} // namespace

Mixer::Mixer(int rate) : rate_(rate), windLoop_(RenderWind(rate)) {
    for (std::size_t i = 0; i < kEffects; ++i) {
        samples_[i] = Render(static_cast<Effect>(i), rate);
    }
}

void Mixer::Trigger(Effect e) {
    if (Muted()) {
        return;
    }
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= kQueue) {
        return;
    }
    queue_[head % kQueue] = e;
    head_.store(head + 1, std::memory_order_release);
}

void Mixer::LoadTune(Tune t, std::vector<float> loop) {
    if (t == Tune::None || TuneLoaded(t)) {
        return;
    }
    tunes_[TuneIndex(t)] = std::move(loop);
    loaded_[TuneIndex(t)].store(true, std::memory_order_release);
}

bool Mixer::TuneLoaded(Tune t) const {
    return t != Tune::None && loaded_[TuneIndex(t)].load(std::memory_order_acquire);
}

void Mixer::MixMusic(std::span<float> out) {
    const Tune wanted = tune_.load(std::memory_order_relaxed);
    const bool held = held_.load(std::memory_order_relaxed);
    const float step = 1.0f / (kFadeSeconds * static_cast<float>(rate_));
    for (float& s : out) {
        // Only a loaded tune is heard; one still rendering is silence until it comes.
        const bool stay = playing_ == wanted && TuneLoaded(playing_) && !held;
        musicLevel_ =
            stay ? std::min(1.0f, musicLevel_ + step) : std::max(0.0f, musicLevel_ - step);
        if (musicLevel_ == 0.0f && playing_ != wanted) {
            playing_ = wanted;
            musicAt_ = 0;
        }
        if (musicLevel_ == 0.0f || !TuneLoaded(playing_)) {
            continue;
        }
        const std::vector<float>& loop = tunes_[TuneIndex(playing_)];
        if (loop.empty()) {
            continue;
        }
        musicAt_ %= loop.size();
        s += musicLevel_ * loop[musicAt_++];
    }
}

void Mixer::MixWind(std::span<float> out) {
    const float wanted = std::clamp(wind_.load(std::memory_order_relaxed), 0.0f, 1.0f);
    const auto perSample = [this](float seconds) {
        return 1.0f - std::exp(-1.0f / (seconds * static_cast<float>(rate_)));
    };
    const float rise = perSample(kGustSeconds), fall = perSample(kLullSeconds);
    const float least = 1.0f / (kLongestLull * static_cast<float>(rate_));
    for (float& s : out) {
        if (wanted > windLevel_) {
            windLevel_ += (wanted - windLevel_) * rise;
        } else {
            windLevel_ =
                std::max(wanted, windLevel_ - std::max((windLevel_ - wanted) * fall, least));
        }
        if (windLevel_ == 0.0f) {
            windAt_ = 0;
            continue;
        }
        windAt_ %= windLoop_.size();
        s += windLevel_ * windLoop_[windAt_++];
    }
}

void Mixer::Start(Effect e) {
    // The same sound asked for again while it is still rising is the same
    // event: stacking it would only pile up noise that never lets go.
    const std::vector<float>* wanted = &samples_[Index(e)];
    for (const Playing& p : voices_) {
        if (p.samples == wanted && p.at < wanted->size() / 4) {
            return;
        }
    }
    // A free voice, else the one nearest its end: the oldest sound matters least.
    auto slot = std::find_if(voices_.begin(), voices_.end(),
                             [](const Playing& p) { return p.samples == nullptr; });
    if (slot == voices_.end()) {
        slot = std::max_element(voices_.begin(), voices_.end(),
                                [](const Playing& a, const Playing& b) { return a.at < b.at; });
    }
    *slot = {&samples_[Index(e)], 0};
}

void Mixer::Mix(std::span<float> out) {
    std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    const std::uint32_t head = head_.load(std::memory_order_acquire);
    for (; tail != head; ++tail) {
        Start(queue_[tail % kQueue]);
    }
    tail_.store(tail, std::memory_order_release);

    std::fill(out.begin(), out.end(), 0.0f);
    if (Muted()) {
        voices_.fill({});
        windLevel_ = 0;
        return;
    }
    MixMusic(out);
    MixWind(out);
    for (Playing& p : voices_) {
        if (p.samples == nullptr) {
            continue;
        }
        const std::size_t n = std::min(out.size(), p.samples->size() - p.at);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] += (*p.samples)[p.at + i];
        }
        p.at += n;
        if (p.at >= p.samples->size()) {
            p = {};
        }
    }
    for (float& s : out) {
        s = std::isfinite(s) ? kCeiling * std::tanh(kMaster * s) : 0.0f;
    }
}

} // namespace Sound
