#include "Media.h"

#include "game/core/Catalogue.h"

#include <stdexcept>

namespace Art {

Canvas Media::blank(std::string_view file) {
    for (const auto& row : Morvek::catalogue)
        if (row.file == file)
            return Canvas(int(row.width), int(row.height));
    throw std::invalid_argument("not in the catalogue: " + std::string(file));
}

void Media::put(std::string_view file, const Canvas& c) {
    files_.insert_or_assign(std::string(file), c);
}

void Media::sprite(std::string_view picture, std::string_view mask, const Canvas& c) {
    put(picture, c.blackened());
    put(mask, c.mask());
}

const std::array<Painter, 11> kPainters{{
    {"the cave", drawCave, 420},
    {"the fields", drawFields, 360},
    {"the screens", drawScreens, 360},
    {"the volcano", drawVolcano, 210},
    {"the shots", drawShots, 170},
    {"the bosses", drawBosses, 30},
    {"the items", drawItems, 30},
    {"the buttons", drawButtons, 15},
    {"the hero", drawHero, 2},
    {"the enemies", drawEnemies, 2},
    {"the effects", drawEffects, 2},
}};

const Canvas* Media::find(std::string_view file) const {
    const auto it = files_.find(file);
    return it == files_.end() ? nullptr : &it->second;
}

} // namespace Art
