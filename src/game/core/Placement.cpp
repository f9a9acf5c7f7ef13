#include "game/core/Placement.h"

#include "game/core/ScenePictures.h"

namespace Morvek {

namespace P = ScenePictures;

std::int32_t ToPixel(float v) {
    constexpr float kLimit = 1.0e9f;
    if (!(v > -kLimit)) {
        return static_cast<std::int32_t>(-kLimit);
    }
    if (v > kLimit) {
        return static_cast<std::int32_t>(kLimit);
    }
    return static_cast<std::int32_t>(v);
}

std::array<PlacedPicture, 2> BackgroundLayers(std::int32_t bx, const P::Backdrop& backdrop) {
    const std::uint32_t picture = PictureNumber(backdrop[0]);
    const std::uint32_t mirror = PictureNumber(backdrop[1]);
    if (bx > -P::kBackgroundWidth) {
        return {{{picture, bx}, {mirror, bx + P::kBackgroundWidth}}};
    }
    return {{{mirror, bx + P::kBackgroundWidth}, {picture, bx + 2 * P::kBackgroundWidth}}};
}

} // namespace Morvek
