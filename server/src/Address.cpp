#include "Address.h"

#include <algorithm>

namespace Server {

std::string ClientAddress(const std::string& peer, const std::string& forwardedFor,
                          const std::vector<std::string>& trusted) {
    const auto isTrusted = [&](const std::string& a) {
        return std::find(trusted.begin(), trusted.end(), a) != trusted.end();
    };
    std::string client = peer;
    std::string_view rest = forwardedFor;
    while (isTrusted(client)) {
        if (rest.find_first_not_of(" ,") == std::string_view::npos) {
            break;
        }
        const auto comma = rest.rfind(',');
        std::string_view hop = comma == std::string_view::npos ? rest : rest.substr(comma + 1);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(0, comma);
        const auto first = hop.find_first_not_of(' ');
        const auto last = hop.find_last_not_of(' ');
        if (first == std::string_view::npos) {
            continue;
        }
        client = std::string(hop.substr(first, last - first + 1));
    }
    return client;
}

} // namespace Server
