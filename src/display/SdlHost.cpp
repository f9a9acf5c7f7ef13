// Placeholder host: no SDL yet.
#include "display/Host.h"

#include <cstdio>
#include <cstdlib>

namespace Wimdows::Host {

bool Start(std::string& error) {
    error = "no window support built in";
    return false;
}
void Loop() {
    std::exit(0);
}
bool Running() {
    return false;
}
bool Open(const std::string&, std::uint32_t, std::uint32_t) {
    return false;
}
void Close() {}
void SetTitle(const std::string&) {}
void Present() {}
void Quit(int code) {
    std::exit(code);
}

} // namespace Wimdows::Host
