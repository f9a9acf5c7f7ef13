// Small pictures written and loaded on the fly, for tests that need known pixels.
#pragma once

#include <cstdint>
#include <functional>

namespace TestPictures {

// A w x h picture with colour(x, y) at each pixel, in the game's colour order
// (red + 256 * blue + 65536 * green), loaded through the layer at its size.
std::uint32_t Load(int w, int h, const std::function<std::uint32_t(int, int)>& colour);
// One colour stretched to w x h, as the layer scales a 1 x 1 file.
std::uint32_t Solid(std::uint32_t colour, std::uint32_t w, std::uint32_t h);

} // namespace TestPictures
