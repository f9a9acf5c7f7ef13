#include "Dragon.h"
#include "Media.h"
#include "Palette.h"

namespace Art {

void drawHero(Media& m) {
    DragonLook look{Pal::heroScale, Pal::heroBelly, Pal::heroWing, Pal::horn};
    Canvas up = Media::blank("Media/Dragon1.bmp");
    paintDragon(up, look);
    m.sprite("Media/Dragon1.bmp", "Media/Dragon1Mask.bmp", up);
    look.wingsUp = false;
    Canvas down = Media::blank("Media/Dragon2.bmp");
    paintDragon(down, look);
    m.sprite("Media/Dragon2.bmp", "Media/Dragon2Mask.bmp", down);
}

} // namespace Art
