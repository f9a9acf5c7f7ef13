#include "game/core/Placement.h"

#include "game/core/ScenePictures.h"

namespace Morvek {

namespace P = ScenePictures;

std::int32_t Px(float v) {
    constexpr float kLimit = 1.0e9f;
    if (!(v > -kLimit)) {
        return static_cast<std::int32_t>(-kLimit);
    }
    if (v > kLimit) {
        return static_cast<std::int32_t>(kLimit);
    }
    return static_cast<std::int32_t>(v);
}

std::array<PlacedPicture, 2> BackgroundLayers(std::int32_t bx, std::uint32_t entry) {
    const std::uint32_t first = 2 * world.level - 1;
    const auto& pics = world.images[P::kBackgroundGroup];
    if (bx > -P::kBackgroundWidth) {
        return {{{pics[first][entry], bx}, {pics[first + 1][entry], bx + P::kBackgroundWidth}}};
    }
    return {{{pics[first + 1][entry], bx + P::kBackgroundWidth},
             {pics[first][entry], bx + 2 * P::kBackgroundWidth}}};
}

} // namespace Morvek
