#include "game/core/Catalogue.h"

#include "display/Display.h"
#include "game/core/MediaPath.h"
#include "game/core/World.h"

#include <iostream>
#include <set>
#include <string>

namespace Morvek {

void LoadPictures() {
    // A file that fails to load yields 0, which draws nothing; loading goes
    // on, and each such file is named once, however often it is asked for.
    static std::set<std::string> named;
    for (const auto& row : catalogue) {
        const std::string path = MediaPath(row.file);
        const auto number = Display::LoadBitmap(path, row.width, row.height);
        world.images[row.group][row.slot][row.entry] = number;
        if (number == 0 && named.insert(path).second) {
            std::cerr << "morvek: cannot load the picture " << path << '\n';
        }
    }
}

// Walks the catalogue rather than fixed bounds, so every picture LoadPictures made
// goes, and a number released is never drawn by mistake afterwards.
void FreePictures() {
    for (const auto& row : catalogue) {
        auto& number = world.images[row.group][row.slot][row.entry];
        Display::DestroyBitmap(number);
        number = 0;
    }
}

} // namespace Morvek
