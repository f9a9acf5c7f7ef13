// Small pictures written and loaded on the fly, for tests that need known pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace TestPictures {

// A w x h picture with colour(x, y) at each pixel, in the game's colour order
// (red + 256 * blue + 65536 * green), loaded through the layer at its size.
std::uint32_t Load(int w, int h, const std::function<std::uint32_t(int, int)>& colour);
// One colour stretched to w x h, as the layer scales a 1 x 1 file.
std::uint32_t Solid(std::uint32_t colour, std::uint32_t w, std::uint32_t h);
// Gives a level a deadly area black wherever black(column, y) says: columns
// 0..1023 are its picture's, 1024..2047 its mirror's, which the scroll
// shows after it.
void SetDeadlyArea(std::uint32_t level, const std::function<bool(int, int)>& black);

// The back buffer as the game reads it, row by row: 1024 x 768 colours in
// the game's order.
using Frame = std::vector<std::uint32_t>;
Frame Grab();
inline std::uint32_t At(const Frame& f, int x, int y) {
    return f[static_cast<std::size_t>(y) * 1024 + static_cast<std::size_t>(x)];
}

} // namespace TestPictures
