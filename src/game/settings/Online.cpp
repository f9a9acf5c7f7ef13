#include "game/settings/Online.h"

#include "util/Quote.h"

#include <algorithm>

namespace Settings::Online {

namespace {

constexpr std::string_view kAccepted =
    "only http://127.0.0.1, http://localhost or https:// addresses are taken";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

bool Letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Printable ASCII without the blank, and without what URLs leave unsafe:
// a client could read a backslash as a slash, or cut at a quote.
bool UrlChar(char c) {
    constexpr std::string_view kUnsafe = "\"<>\\^`{|}";
    return c > ' ' && c < 0x7F && kUnsafe.find(c) == std::string_view::npos;
}

// Dot-separated labels of letters, digits and inner hyphens, as DNS has them.
bool HostName(std::string_view host) {
    if (host.empty() || host.size() > 253) {
        return false;
    }
    std::size_t at = 0;
    for (;;) {
        const auto end = std::min(host.find('.', at), host.size());
        const std::string_view label = host.substr(at, end - at);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
            return false;
        }
        for (const char c : label) {
            if (!Letter(c) && !Digit(c) && c != '-') {
                return false;
            }
        }
        if (end == host.size()) {
            return true;
        }
        at = end + 1;
    }
}

bool Port(std::string_view port) {
    if (port.empty() || port.size() > 5 || !std::all_of(port.begin(), port.end(), Digit)) {
        return false;
    }
    const unsigned n = static_cast<unsigned>(std::stoul(std::string(port)));
    return n >= 1 && n <= 65535;
}

} // namespace

bool CheckAddress(std::string_view address, std::string& normal, std::string& why) {
    normal.clear();
    if (address.empty()) {
        why = "no address given";
        return false;
    }
    if (address.size() > kMaxAddress) {
        why = "an address of more than " + std::to_string(kMaxAddress) + " characters";
        return false;
    }
    const auto bad = std::find_if_not(address.begin(), address.end(), UrlChar);
    if (bad != address.end()) {
        why = Text::Quote(address) + " holds " +
              (*bad == ' ' ? std::string("a blank") : "a character no address may hold");
        return false;
    }
    const auto colon = address.find("://");
    const std::string scheme = Lowered(address.substr(0, colon));
    if (colon == std::string_view::npos || (scheme != "http" && scheme != "https")) {
        why = Text::Quote(address) + ": " + std::string(kAccepted);
        return false;
    }
    const std::string_view rest = address.substr(colon + 3);
    const auto pathAt = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view authority = rest.substr(0, pathAt);
    const std::string_view path = rest.substr(pathAt);
    if (path.find('#') != std::string_view::npos) {
        why = Text::Quote(address) + ": a server's address has no #fragment";
        return false;
    }
    if (authority.find('@') != std::string_view::npos) {
        why = Text::Quote(address) + ": no user name or password may come before the host";
        return false;
    }
    const auto portAt = authority.find(':');
    const std::string host = Lowered(authority.substr(0, portAt));
    const std::string_view port =
        portAt == std::string_view::npos ? std::string_view{} : authority.substr(portAt + 1);
    if (portAt != std::string_view::npos && !Port(port)) {
        why = Text::Quote(address) + ": the port must be a number from 1 to 65535";
        return false;
    }
    const bool loopback = host == "127.0.0.1" || host == "localhost";
    if (scheme == "http" ? !loopback : !HostName(host)) {
        why = Text::Quote(address) + ": " + std::string(kAccepted);
        return false;
    }
    normal = scheme + "://" + host +
             (portAt == std::string_view::npos ? "" : ":" + std::string(port)) + std::string(path);
    return true;
}

bool CheckName(std::string_view name, std::string& why) {
    if (name.empty() || name.size() > kMaxName) {
        why = "a name takes 1 to " + std::to_string(kMaxName) + " letters, not " +
              std::to_string(name.size()) + " characters";
        return false;
    }
    for (const char c : name) {
        if (!Letter(c)) {
            why = Text::Quote(name) + ": a name holds only the letters A to Z";
            return false;
        }
    }
    return true;
}

} // namespace Settings::Online
