#include "audio/Mixer.h"

#include <algorithm>
#include <cmath>

namespace Sound {

namespace {

// Many loud effects at once squash softly towards the ceiling instead of
// clipping; a single effect passes almost untouched.
constexpr float kMaster = 0.8f;
constexpr float kCeiling = 0.95f;

} // namespace

Mixer::Mixer(int rate) : rate_(rate) {
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

void Mixer::Start(Effect e) {
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
        return;
    }
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
