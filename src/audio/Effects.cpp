#include "audio/Effects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Sound {

namespace {

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

struct Recipe {
    Effect effect;
    std::string_view name;
    std::array<Voice, 6> voices;
};

constexpr float C4 = 261.63f, Eb4 = 311.13f, G4 = 392.0f, C3 = 130.81f;
constexpr float C5 = 523.25f, E5 = 659.26f, G5 = 783.99f, C6 = 1046.5f;

using enum Wave;

constexpr std::array<Recipe, kEffects> kRecipes{{
    {Effect::Volley,
     "volley",
     {{{Square, 1200, 320, 0, 0.08f, 0.002f, 0.10f}, //
       {Noise, 7000, 2500, 0, 0.04f, 0.001f, 0.08f}}}},
    {Effect::EnemyShot, "enemy shot", {{{Saw, 520, 240, 0, 0.11f, 0.003f, 0.10f}}}},
    {Effect::Tornado,
     "tornado",
     {{{Noise, 400, 1400, 0, 0.4f, 0.05f, 0.30f, 1.2f, 9}, //
       {Sine, 180, 320, 0, 0.4f, 0.05f, 0.08f, 1.2f}}}},
    {Effect::IceVolley,
     "ice volley",
     {{{Triangle, 2100, 1500, 0, 0.25f, 0.002f, 0.14f}, //
       {Triangle, 3150, 2600, 0.04f, 0.22f, 0.002f, 0.10f},
       {Noise, 9000, 6000, 0, 0.10f, 0.001f, 0.06f}}}},
    {Effect::Hit,
     "hit",
     {{{Square, 240, 110, 0, 0.07f, 0.001f, 0.12f}, //
       {Noise, 3500, 900, 0, 0.05f, 0.001f, 0.14f}}}},
    {Effect::Explosion,
     "explosion",
     {{{Noise, 1800, 90, 0, 0.65f, 0.002f, 0.55f, 1.6f}, //
       {Sine, 95, 38, 0, 0.45f, 0.002f, 0.35f}}}},
    {Effect::Spark,
     "spark",
     {{{Noise, 6000, 2200, 0, 0.12f, 0.001f, 0.16f}, //
       {Sine, 1800, 2600, 0, 0.06f, 0.001f, 0.06f}}}},
    {Effect::Beam,
     "beam",
     {{{Saw, 112, 92, 0, 0.75f, 0.05f, 0.11f, 1.0f, 7}, //
       {Noise, 2600, 700, 0, 0.75f, 0.04f, 0.22f, 1.0f, 12},
       {Square, 56, 46, 0, 0.75f, 0.05f, 0.06f, 1.0f}}}},
    {Effect::Shield,
     "shield",
     {{{Sine, 300, 900, 0, 0.5f, 0.04f, 0.18f, 1.2f, 6}, //
       {Sine, 451, 1352, 0, 0.5f, 0.04f, 0.08f, 1.2f, 6}}}},
    {Effect::Pickup,
     "pick-up",
     {{{Triangle, 660, 660, 0, 0.09f, 0.003f, 0.22f, 1.5f}, //
       {Triangle, 880, 880, 0.07f, 0.09f, 0.003f, 0.22f, 1.5f},
       {Triangle, 1320, 1320, 0.14f, 0.18f, 0.003f, 0.22f}}}},
    {Effect::LifeLost,
     "life lost",
     {{{Square, 440, 100, 0, 0.8f, 0.005f, 0.13f, 1.0f, 6}, //
       {Noise, 900, 180, 0, 0.5f, 0.002f, 0.16f}}}},
    {Effect::Storm,
     "storm",
     {{{Noise, 300, 950, 0, 1.1f, 0.22f, 0.42f, 1.0f, 3}, //
       {Sine, 62, 44, 0, 1.1f, 0.2f, 0.14f, 1.0f}}}},
    {Effect::Breeze,
     "breeze",
     {{{Noise, 1800, 3600, 0, 0.9f, 0.25f, 0.30f, 1.0f, 2}, //
       {Triangle, 1760, 2200, 0, 0.9f, 0.3f, 0.04f, 1.0f, 5}}}},
    {Effect::FlameBurst,
     "flame burst",
     {{{Noise, 900, 260, 0, 1.0f, 0.08f, 0.48f, 1.0f, 15}, //
       {Saw, 72, 50, 0, 1.0f, 0.08f, 0.12f, 1.0f}}}},
    {Effect::GameOver,
     "game over",
     {{{Triangle, G4, G4, 0, 0.32f, 0.01f, 0.22f, 0.7f}, //
       {Triangle, Eb4, Eb4, 0.32f, 0.32f, 0.01f, 0.22f, 0.7f},
       {Triangle, C4, C4, 0.64f, 0.32f, 0.01f, 0.22f, 0.7f},
       {Triangle, C3, C3, 0.96f, 1.1f, 0.01f, 0.24f, 1.2f},
       {Square, C3 / 2, C3 / 2, 0.96f, 1.1f, 0.01f, 0.05f, 1.2f}}}},
    {Effect::Fanfare,
     "fanfare",
     {{{Square, C5, C5, 0, 0.15f, 0.005f, 0.09f, 0.6f}, //
       {Square, E5, E5, 0.15f, 0.15f, 0.005f, 0.09f, 0.6f},
       {Square, G5, G5, 0.30f, 0.15f, 0.005f, 0.09f, 0.6f},
       {Square, C6, C6, 0.45f, 0.9f, 0.005f, 0.09f, 0.8f, 5},
       {Triangle, C5, C5, 0.45f, 0.9f, 0.005f, 0.20f, 0.8f},
       {Triangle, G4, G4, 0.45f, 0.9f, 0.005f, 0.16f, 0.8f}}}},
}};

constexpr bool InEffectOrder() {
    for (std::size_t i = 0; i < kRecipes.size(); ++i) {
        if (Index(kRecipes[i].effect) != i) {
            return false;
        }
    }
    return true;
}
static_assert(InEffectOrder(), "one recipe per effect, in the order of Effect");

constexpr float kPeak = 0.7f;
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

void AddVoice(const Voice& v, int rate, std::vector<float>& out) {
    const auto first = static_cast<std::size_t>(v.at * static_cast<float>(rate));
    const auto count = static_cast<std::size_t>(v.length * static_cast<float>(rate));
    const float dt = 1.0f / static_cast<float>(rate);
    float phase = 0, low = 0;
    NoiseSource noise;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
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
        out[first + i] += v.gain * Envelope(v, t) * sample;
    }
}

const Recipe& RecipeOf(Effect e) {
    return kRecipes[Index(e)];
}

} // namespace

std::string_view Name(Effect e) {
    return RecipeOf(e).name;
}

float Seconds(Effect e) {
    float end = 0;
    for (const Voice& v : RecipeOf(e).voices) {
        end = std::max(end, v.at + v.length);
    }
    return end;
}

std::vector<float> Render(Effect e, int rate) {
    std::vector<float> out(
        static_cast<std::size_t>(std::ceil(Seconds(e) * static_cast<float>(rate))), 0.0f);
    for (const Voice& v : RecipeOf(e).voices) {
        if (v.length > 0 && v.gain > 0) {
            AddVoice(v, rate, out);
        }
    }
    // Noise peaks are only known after the fact; keep every effect's headroom.
    float peak = 0;
    for (const float s : out) {
        peak = std::max(peak, std::abs(s));
    }
    if (peak > kPeak) {
        for (float& s : out) {
            s *= kPeak / peak;
        }
    }
    return out;
}

} // namespace Sound
