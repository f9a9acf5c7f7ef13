// Where the pictures of the field stand in the window, shared by the frame
// and by the steps that test what lies under the dragon.
#pragma once

#include "game/core/ScenePictures.h"
#include "game/core/World.h"

#include <array>

namespace Morvek {

// A position in the window, truncated toward zero; held inside the int range
// so a stray position can't make the conversion undefined.
std::int32_t ToPixel(float v);

// Where the two pictures of a backdrop stand at scroll offset bx, in the
// order they are drawn: which one (0 the picture, 1 its mirror) at which x.
struct BackdropPlace {
    std::uint32_t which;
    std::int32_t x; // the top edge is the window's
};
constexpr std::array<BackdropPlace, 2> BackdropPlaces(std::int32_t bx) {
    constexpr std::int32_t w = ScenePictures::kBackgroundWidth;
    if (bx > -w) {
        return {{{0, bx}, {1, bx + w}}};
    }
    return {{{1, bx + w}, {0, bx + 2 * w}}};
}

struct PlacedPicture {
    std::uint32_t picture;
    std::int32_t x; // the top edge is the window's
};

// A backdrop's picture and its mirror at scroll offset bx, in the order they
// are drawn.
std::array<PlacedPicture, 2> BackgroundLayers(std::int32_t bx,
                                              const ScenePictures::Backdrop& backdrop);

} // namespace Morvek
