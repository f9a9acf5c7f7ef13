// A picture as the display layer holds it, and reading one from a BMP file's
// bytes at the size the game asks for. Not for the game: it uses Display.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace Display {

// Larger requests can only be mistakes; refusing them beats dying in the allocator.
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;

struct Picture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // width * height, 0x00RRGGBB, top row first. None for a picture of pure
    // black and white, which `white` tells whole: masks and deadly areas are
    // most of the pictures' memory, and fresh memory is slow to come by.
    std::shared_ptr<std::uint32_t[]> pixels;
    // One bit per pixel, set where the pixel is pure white: the picture's
    // shape when it serves as a mask. Each row starts on a fresh word. A
    // coloured picture works them out when first used as a mask, which
    // coloured pictures seldom are.
    mutable std::vector<std::uint64_t> white;
    std::uint32_t words = 0; // words per row of `white`

    const std::uint64_t* WhiteRow(std::uint32_t y) const;
    // Row y's pixels from column x0 on (to x1): in place, or spelt out into
    // `scratch` for a picture of black and white.
    const std::uint32_t* PixelRow(std::uint32_t y, std::uint32_t x0, std::uint32_t x1,
                                  std::vector<std::uint32_t>& scratch) const;
};

// The BMP file `bytes` at width x height, each pixel the nearest pixel
// centre of the file's, so a black-and-white picture stays exactly black and
// white at any size. Nothing for a damaged file, one that is no BMP, or one
// whose header claims more than it could hold.
std::optional<Picture> ReadBmp(std::span<const std::uint8_t> bytes, std::uint32_t width,
                               std::uint32_t height);

// The kind ReadBmp reads itself, the kind the game's pictures are: 24 bits a
// pixel, uncompressed. Any other kind goes through SDL's reader.
bool IsPlainBmp(std::span<const std::uint8_t> bytes);

// ReadBmp through SDL's reader whatever the kind: the way every picture was
// read before, kept for the other kinds and to compare with.
std::optional<Picture> ReadBmpWithSdl(std::span<const std::uint8_t> bytes, std::uint32_t width,
                                      std::uint32_t height);

} // namespace Display
