// morvek-media --out DIR      draws every picture of the catalogue into DIR
// morvek-media --sheet FILE   draws them all on one labelled contact sheet
// morvek-media --icon FILE    draws the desktop icon as a PNG
#include "Icon.h"
#include "Media.h"

#include "game/core/Catalogue.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

Art::Media drawAll() {
    Art::Media m;
    for (const auto& painter : Art::kPainters)
        painter.paint(m);
    return m;
}

// Every file the game loads must have been drawn, at the size of its first
// load (the loader scales the second load of a file itself).
bool complete(const Art::Media& m) {
    bool ok = true;
    for (const auto& row : Morvek::catalogue) {
        const Art::Canvas* c = m.find(row.file);
        if (!c) {
            std::fprintf(stderr, "morvek-media: nothing drawn for %s\n",
                         std::string(row.file).c_str());
            ok = false;
        } else if (c->width() != int(Art::Media::blank(row.file).width()) ||
                   c->height() != int(Art::Media::blank(row.file).height())) {
            std::fprintf(stderr, "morvek-media: %s drawn at the wrong size\n",
                         std::string(row.file).c_str());
            ok = false;
        }
    }
    return ok;
}

int usage() {
    std::fprintf(stderr, "usage: morvek-media --out DIR | --sheet FILE.bmp | --icon FILE.png\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return usage();
    const std::string option = argv[1], target = argv[2];
    if (option == "--icon")
        return Art::writePng(target, Art::drawIcon()) ? 0 : 1;
    if (option != "--out" && option != "--sheet")
        return usage();
    const Art::Media m = drawAll();
    // A sheet is worth seeing even while pictures are missing.
    if (!complete(m) && option == "--out")
        return 1;
    if (option == "--sheet")
        return Art::writeBmp(target, Art::contactSheet(m)) ? 0 : 1;
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(target, ec);
    for (const auto& [file, canvas] : m.files()) {
        const fs::path path = fs::path(target) / fs::path(file).filename();
        if (!Art::writeBmp(path.string(), canvas)) {
            std::fprintf(stderr, "morvek-media: cannot write %s\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
