#include "audio/Effects.h"
#include "audio/Synth.h"

#include <algorithm>
#include <cmath>

namespace Sound {

namespace {

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

// Whole sways in the loop, so it wraps without a seam; all of it low and
// rushing, nothing of the hiss above a few kilohertz.
constexpr float kWindSeconds = 4.0f;
constexpr std::array<Voice, 3> kWind{{
    {Noise, 420, 420, 0, kWindSeconds, 0.001f, 0.5f, 0.0f, 0.5f},
    {Noise, 160, 160, 0, kWindSeconds, 0.001f, 0.4f, 0.0f, 0.25f},
    {Noise, 1100, 1100, 0, kWindSeconds, 0.001f, 0.12f, 0.0f, 0.75f},
}};
// Its loudest, as RMS: some 10 dB under the fight's music (the mixer's test
// measures it), so the tune carries through the storm.
constexpr float kWindRms = 0.02f;

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
        AddVoice(v, rate, out);
    }
    RemoveOffset(out, rate);
    // Noise peaks are only known after the fact; keep every effect's headroom.
    Normalise(out, kPeak);
    return out;
}

std::vector<float> RenderWind(int rate) {
    std::vector<float> out(static_cast<std::size_t>(kWindSeconds * static_cast<float>(rate)), 0.0f);
    for (const Voice& v : kWind) {
        AddVoice(v, rate, out, true);
    }
    RemoveOffset(out, rate);
    double power = 0;
    for (const float s : out) {
        power += static_cast<double>(s) * s;
    }
    const auto rms = static_cast<float>(std::sqrt(power / static_cast<double>(out.size())));
    for (float& s : out) {
        s *= kWindRms / rms;
    }
    return out;
}

} // namespace Sound
