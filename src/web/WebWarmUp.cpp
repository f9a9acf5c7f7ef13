// The browser compiles the game's code quickly but plainly at first, and
// well only what has run a while. The game reads every picture at its start,
// in one call the page cannot split: run plainly, that call would hold the
// page for a few hundred milliseconds. So the page has the same reader read
// a few pictures as they arrive, while it waits for the rest anyway; by the
// game's start the reader is compiled well.
#include "display/Picture.h"

#include <emscripten.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

} // namespace

// Reads the BMP file at path, at its own size, as the game would, and
// forgets it; 1 if it was read.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_read_picture(const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 26) {
        return 0;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size) {
        return 0;
    }
    // A picture stored bottom up has a positive height.
    const auto height = static_cast<std::int32_t>(Le32(bytes, 22));
    const auto read = Display::ReadBmp(bytes, Le32(bytes, 18),
                                       static_cast<std::uint32_t>(height < 0 ? -height : height));
    return read ? 1 : 0;
}
