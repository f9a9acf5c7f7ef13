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
    {"the hero", drawHero},
    {"the enemies", drawEnemies},
    {"the bosses", drawBosses},
    {"the items", drawItems},
    {"the shots", drawShots},
    {"the effects", drawEffects},
    {"the fields", drawFields},
    {"the cave", drawCave},
    {"the volcano", drawVolcano},
    {"the screens", drawScreens},
    {"the buttons", drawButtons},
}};

const Canvas* Media::find(std::string_view file) const {
    const auto it = files_.find(file);
    return it == files_.end() ? nullptr : &it->second;
}

} // namespace Art
