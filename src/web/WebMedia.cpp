// The page draws the game's pictures itself, with the same generator the
// native build runs, rather than downloading 43 MB of them: in workers
// (web/media-worker.js), one painter a call, so that the page can hand the
// painters out to them and say how far they have got. The files never touch
// a file system: the worker takes each one's bytes straight from memory.
#include "Icon.h"
#include "Media.h"

#include <emscripten.h>

#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

namespace {

Art::Media painted;             // the last painter's pictures
std::vector<std::uint8_t> file; // the last file asked for, whole

bool valid(int painter) {
    return painter >= 0 && static_cast<std::size_t>(painter) < Art::kPainters.size();
}

const Art::Canvas* picture(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= painted.files().size()) {
        return nullptr;
    }
    return &std::next(painted.files().begin(), i)->second;
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int morvek_media_painters() {
    return static_cast<int>(Art::kPainters.size());
}

// What the painter draws, to show while it does.
extern "C" EMSCRIPTEN_KEEPALIVE const char* morvek_media_subject(int painter) {
    return valid(painter) ? Art::kPainters[static_cast<std::size_t>(painter)].subject : "";
}

// About how long the painter takes, against the others.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_media_weight(int painter) {
    return valid(painter) ? Art::kPainters[static_cast<std::size_t>(painter)].weight : 0;
}

// Runs the painter; the number of pictures it drew, or -1.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_draw_painter(int painter) {
    painted = {};
    if (!valid(painter)) {
        return -1;
    }
    Art::kPainters[static_cast<std::size_t>(painter)].paint(painted);
    return static_cast<int>(painted.files().size());
}

// The file name picture i of the last painter goes under in Media/.
extern "C" EMSCRIPTEN_KEEPALIVE const char* morvek_media_name(int i) {
    if (!picture(i)) {
        return "";
    }
    const std::string& path = std::next(painted.files().begin(), i)->first;
    return path.c_str() + std::string_view(path).rfind('/') + 1;
}

// Makes picture i's file, as a BMP; its size in bytes (0 for no picture).
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_media_file(int i) {
    const Art::Canvas* canvas = picture(i);
    file = canvas ? Art::bmpBytes(*canvas) : std::vector<std::uint8_t>{};
    return static_cast<int>(file.size());
}

// Makes the game's icon, for the page's tab, as a PNG file; its size in bytes.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_draw_icon() {
    file = Art::pngBytes(Art::drawIcon());
    return static_cast<int>(file.size());
}

// Where the file made last is.
extern "C" EMSCRIPTEN_KEEPALIVE const std::uint8_t* morvek_media_bytes() {
    return file.data();
}
