#include "game/core/Catalogue.h"

#include "display/Display.h"
#include "game/core/MediaPath.h"
#include "game/core/World.h"

#include <filesystem>
#include <iostream>
#include <set>
#include <string>

namespace Morvek {

namespace {

std::uint32_t& Slot(const CatalogueEntry& row) {
    Loaded& loaded = world.pictures[row.name];
    return row.mask ? loaded.mask : loaded.picture;
}

} // namespace

void LoadPictures() {
    // A file that fails to load yields 0, which draws nothing; loading goes
    // on, and each such file is named once, however often it is asked for.
    static std::set<std::string> named;
    for (const auto& row : catalogue) {
        const std::string path = MediaPath(row.file);
        const auto number = Display::LoadBitmap(path, row.width, row.height);
        Slot(row) = number;
        if (number == 0 && named.insert(path).second) {
            // Named in full: "Media/" alone does not say which of the places it is.
            std::error_code ec;
            const auto full = std::filesystem::absolute(path, ec).lexically_normal();
            std::cerr << "morvek: cannot load the picture " << (ec ? path : full.string()) << '\n';
        }
    }
}

// Walks the catalogue rather than fixed bounds, so every picture LoadPictures made
// goes, and a number released is never drawn by mistake afterwards.
void FreePictures() {
    for (const auto& row : catalogue) {
        auto& number = Slot(row);
        Display::DestroyBitmap(number);
        number = 0;
    }
}

} // namespace Morvek
