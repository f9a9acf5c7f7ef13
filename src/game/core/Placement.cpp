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
    const auto places = BackdropPlaces(bx);
    return {{{PictureNumber(backdrop[places[0].which]), places[0].x},
             {PictureNumber(backdrop[places[1].which]), places[1].x}}};
}

} // namespace Morvek
