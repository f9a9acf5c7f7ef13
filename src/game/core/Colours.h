// The game's colours by name. The drawing layer takes a colour packed as
// red + 256 * blue + 65536 * green, so a hex literal reads with green and
// red swapped; Packed() writes that order once.
#pragma once

#include <cstdint>

namespace Morvek::Colours {

constexpr std::uint32_t Packed(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return red + 256u * blue + 65536u * green;
}

constexpr std::uint32_t kBlack = Packed(0, 0, 0);
constexpr std::uint32_t kWhite = Packed(255, 255, 255);
constexpr std::uint32_t kRed = Packed(255, 0, 0);
constexpr std::uint32_t kGreen = Packed(0, 255, 0);
constexpr std::uint32_t kBlue = Packed(0, 0, 255);
constexpr std::uint32_t kMagenta = Packed(255, 0, 255);
constexpr std::uint32_t kPurple = Packed(128, 0, 128);
constexpr std::uint32_t kTeal = Packed(0, 128, 128);
constexpr std::uint32_t kDarkGreen = Packed(0, 176, 0);
constexpr std::uint32_t kGold = Packed(255, 192, 48);
constexpr std::uint32_t kPaleYellow = Packed(255, 255, 192);

} // namespace Morvek::Colours
