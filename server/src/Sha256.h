#pragma once

#include <string>
#include <string_view>

namespace Server {

// Lower-case hex, as the verifier writes its fingerprints.
std::string Sha256Hex(std::string_view bytes);

} // namespace Server

namespace Server {

// Base64 of the digest, as a Content-Security-Policy hash names a script.
std::string Sha256Base64(std::string_view bytes);

} // namespace Server
