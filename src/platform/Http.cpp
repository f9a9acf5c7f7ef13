#include "platform/Http.h"

#include <charconv>

namespace Http {

std::string RedirectError(int status, const std::string& location) {
    std::string shown;
    for (const char c : location.substr(0, 120)) {
        const auto u = static_cast<unsigned char>(c);
        shown += u >= 0x20 && u < 0x7F ? c : '?';
    }
    return "the server redirected (HTTP " + std::to_string(status) + ")" +
           (shown.empty() ? "" : " to " + shown) + ", which is not followed";
}

long RetryAfterSeconds(const std::string& value) {
    std::size_t from = value.find_first_not_of(" \t");
    std::size_t to = value.find_last_not_of(" \t\r\n");
    if (from == std::string::npos) {
        return -1;
    }
    long seconds = -1;
    const char* end = value.data() + to + 1;
    const auto [stop, err] = std::from_chars(value.data() + from, end, seconds);
    return err == std::errc() && stop == end && seconds >= 0 ? seconds : -1;
}

} // namespace Http
