#include "game/core/Catalogue.h"

#include "display/Wimdows.h"
#include "game/Procedures.h"
#include "game/core/MediaPath.h"
#include "game/core/World.h"

namespace Procedures {

void Loadbmp() {
    // A file that fails to load yields 0, which draws nothing; loading goes on.
    for (const auto& row : catalogue) {
        images[row.group][row.slot][row.entry] =
            Wimdows::LoadBitmap(MediaPath(row.file), row.width, row.height);
    }
}

void Destroybmp() {
    for (std::size_t g = 1; g <= 6; ++g) {
        for (std::size_t s = 1; s <= 10; ++s) {
            for (std::size_t e = 1; e <= 2; ++e) {
                Wimdows::DestroyBitmap(images[g][s][e]);
            }
        }
    }
}

} // namespace Procedures
