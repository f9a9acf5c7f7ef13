#include "Sha256.h"

#include <openssl/evp.h>

#include <array>

namespace Server {

std::string Sha256Hex(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr);
    constexpr std::string_view kHex = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

std::string Sha256Base64(std::string_view bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_sha256(), nullptr);
    std::array<unsigned char, 4 * EVP_MAX_MD_SIZE / 3 + 4> text{};
    const int n = EVP_EncodeBlock(text.data(), digest.data(), static_cast<int>(size));
    return std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(n));
}

} // namespace Server
