#include "Sha256.h"

#include "util/Sha256.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Server {

std::string Sha256Hex(std::string_view bytes) {
    return Util::Sha256Hex(bytes);
}

std::string Sha256Base64(std::string_view bytes) {
    const std::string hex = Util::Sha256Hex(bytes);
    std::string raw;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
        raw += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    }
    constexpr std::string_view kDigits =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < raw.size(); i += 3) {
        std::uint32_t group = static_cast<std::uint8_t>(raw[i]) << 16;
        const std::size_t n = std::min<std::size_t>(3, raw.size() - i);
        if (n > 1) {
            group |= static_cast<std::uint8_t>(raw[i + 1]) << 8;
        }
        if (n > 2) {
            group |= static_cast<std::uint8_t>(raw[i + 2]);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            text += k <= n ? kDigits[(group >> (18 - 6 * k)) & 63] : '=';
        }
    }
    return text;
}

} // namespace Server
