// The page draws the game's pictures itself, with the same generator the
// native build runs, rather than downloading 43 MB of them. It runs one
// painter a call, so that it can say how far it has got between them.
#include "Icon.h"
#include "Media.h"

#include <emscripten.h>

#include <filesystem>

namespace {

bool valid(int painter) {
    return painter >= 0 && static_cast<std::size_t>(painter) < Art::kPainters.size();
}

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int morvek_media_painters() {
    return static_cast<int>(Art::kPainters.size());
}

// What the painter draws, to show while it does.
extern "C" EMSCRIPTEN_KEEPALIVE const char* morvek_media_subject(int painter) {
    return valid(painter) ? Art::kPainters[static_cast<std::size_t>(painter)].subject : "";
}

// Writes the painter's pictures into dir; 0 once all are there.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_draw_painter(int painter, const char* dir) {
    if (!valid(painter)) {
        return 1;
    }
    Art::Media m;
    Art::kPainters[static_cast<std::size_t>(painter)].paint(m);
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const auto& [file, canvas] : m.files()) {
        if (!Art::writeBmp((fs::path(dir) / fs::path(file).filename()).string(), canvas)) {
            return 1;
        }
    }
    return 0;
}

// The game's icon, for the page's tab.
extern "C" EMSCRIPTEN_KEEPALIVE int morvek_draw_icon(const char* path) {
    return Art::writePng(path, Art::drawIcon()) ? 0 : 1;
}
