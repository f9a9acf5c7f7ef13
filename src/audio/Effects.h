// The game's sound effects, each synthesised from a short recipe of
// oscillators and noise when the sound starts, so nothing is read from disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace Sound {

enum class Effect : std::uint8_t {
    Volley,
    EnemyShot,
    Tornado,
    IceVolley,
    Hit,
    Explosion,
    Spark,
    Beam,
    Shield,
    Pickup,
    LifeLost,
    Breeze,
    FlameBurst,
    GameOver,
    Fanfare,
};
constexpr std::size_t kEffects = 15;

constexpr std::size_t Index(Effect e) {
    return static_cast<std::size_t>(e);
}

std::string_view Name(Effect e);

// Length of the effect in seconds.
float Seconds(Effect e);

// The effect as mono samples at `rate` per second, peak well below 1.
std::vector<float> Render(Effect e, int rate);

// The first boss's storm: a seamless loop of rushing wind at full strength,
// kept below the fight's music. The mixer swells and stills it with the storm.
std::vector<float> RenderWind(int rate);

} // namespace Sound
