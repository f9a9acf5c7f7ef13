#include "game/core/Placement.h"

#include "game/core/ScenePictures.h"

namespace Procedures {

namespace P = ScenePictures;

integer Px(real v) {
    constexpr real kLimit = 1.0e9f;
    if (!(v > -kLimit)) {
        return static_cast<integer>(-kLimit);
    }
    if (v > kLimit) {
        return static_cast<integer>(kLimit);
    }
    return static_cast<integer>(v);
}

std::array<PlacedPicture, 2> BackgroundLayers(integer bx, card entry) {
    const card first = 2 * world.level - 1;
    const auto& pics = world.images[P::kBackgroundGroup];
    if (bx > -P::kBackgroundWidth) {
        return {{{pics[first][entry], bx}, {pics[first + 1][entry], bx + P::kBackgroundWidth}}};
    }
    return {{{pics[first + 1][entry], bx + P::kBackgroundWidth},
             {pics[first][entry], bx + 2 * P::kBackgroundWidth}}};
}

} // namespace Procedures
