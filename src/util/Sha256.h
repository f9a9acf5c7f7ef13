// SHA-256 (FIPS 180-4), for the verifier's digests of a game's state and input.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Util {

class Sha256 {
  public:
    Sha256();
    void Add(std::string_view data);
    // The digest as 64 lower-case hex digits; the object is spent after it.
    std::string HexDigest();

  private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> h_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // bytes added
};

// The digest of `data` in one call.
std::string Sha256Hex(std::string_view data);

} // namespace Util
