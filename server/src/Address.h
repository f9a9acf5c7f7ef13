#pragma once

#include <string>
#include <vector>

namespace Server {

// The client a request is for: the peer itself, unless the peer is one of
// our proxies; then the nearest address of X-Forwarded-For (read from its
// end) that is not one of them. Anything further left a client may have made up.
std::string ClientAddress(const std::string& peer, const std::string& forwardedFor,
                          const std::vector<std::string>& trusted);

} // namespace Server
