#include "audio/Synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Sound {

namespace {

constexpr float kTwoPi = 2 * std::numbers::pi_v<float>;

float Envelope(const Voice& v, float t) {
    if (t < v.attack) {
        return t / v.attack;
    }
    const float u = (t - v.attack) / std::max(v.length - v.attack, 1e-4f);
    return std::pow(std::max(0.0f, 1.0f - u), v.curve);
}

float Shape(Wave wave, float phase) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(kTwoPi * phase);
    case Wave::Triangle:
        return 4 * std::abs(phase - 0.5f) - 1;
    case Wave::Square:
        return phase < 0.5f ? 1.0f : -1.0f;
    case Wave::Saw:
        return 2 * phase - 1;
    case Wave::Noise:
        break;
    }
    return 0;
}

// The sound's own noise source: the game's random numbers must not move.
struct NoiseSource {
    std::uint32_t state = 0x9E3779B9u;
    float Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

} // namespace

void AddVoice(const Voice& v, int rate, std::vector<float>& out, bool wrap) {
    if (v.length <= 0 || v.gain <= 0 || out.empty()) {
        return;
    }
    const auto first = static_cast<std::size_t>(v.at * static_cast<float>(rate));
    const auto count = static_cast<std::size_t>(v.length * static_cast<float>(rate));
    const float dt = 1.0f / static_cast<float>(rate);
    float phase = 0, low = 0;
    NoiseSource noise;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t at = first + i;
        if (at >= out.size()) {
            if (!wrap) {
                break;
            }
            at %= out.size();
        }
        const float t = static_cast<float>(i) * dt;
        const float u = t / v.length;
        float f = v.f0 * std::pow(v.f1 / v.f0, u);
        const float sway = v.wobble > 0 ? std::sin(kTwoPi * v.wobble * t) : 0.0f;
        float sample = 0;
        if (v.wave == Wave::Noise) {
            f *= 1.0f + 0.5f * sway;
            const float a = 1.0f - std::exp(-kTwoPi * f * dt);
            low += a * (noise.Next() - low);
            // Keeps a low rumble as loud as a hiss of the same gain.
            sample = low * std::sqrt((2.0f - a) / (3.0f * a));
        } else {
            f *= 1.0f + 0.03f * sway;
            phase += f * dt;
            phase -= std::floor(phase);
            sample = Shape(v.wave, phase);
        }
        out[at] += v.gain * Envelope(v, t) * sample;
    }
}

void RemoveOffset(std::vector<float>& out, int rate) {
    const float r = 1.0f - kTwoPi * 5.0f / static_cast<float>(rate);
    float lastIn = 0, lastOut = 0;
    for (float& s : out) {
        lastOut = s - lastIn + r * lastOut;
        lastIn = s;
        s = lastOut;
    }
}

void Normalise(std::vector<float>& out, float peak) {
    float largest = 0;
    for (const float s : out) {
        largest = std::max(largest, std::abs(s));
    }
    if (largest > peak) {
        for (float& s : out) {
            s *= peak / largest;
        }
    }
}

} // namespace Sound
