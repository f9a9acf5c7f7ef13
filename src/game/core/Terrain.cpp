#include "game/core/Terrain.h"

#include "display/Display.h"
#include "game/core/Placement.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"

#include <deque>

namespace Morvek {

namespace {

// Every mask read since the pictures last changed; a deque, so a mask stays
// where it is while others are added.
struct Masks {
    std::uint64_t version = 0;
    std::deque<BlackMask> read;
};
Masks masks;

// A level's area, and the pictures and version its masks were read for.
struct Kept {
    bool read = false;
    std::uint64_t version = 0;
    std::array<std::uint32_t, 2> pictures{};
    DeadlyArea area;
};
SlotTable<Kept, kLastLevel> kept;

BlackMask Read(std::uint32_t picture) {
    BlackMask m;
    m.picture = picture;
    std::vector<std::uint32_t> colours;
    for (std::uint32_t y = 0; Display::PictureRow(picture, y, colours); ++y) {
        m.width = static_cast<std::int64_t>(colours.size());
        m.height = y + 1;
        m.words = (m.width + 63) / 64;
        m.bits.resize(static_cast<std::size_t>(m.height * m.words));
        std::uint64_t* row = m.bits.data() + y * m.words;
        for (std::size_t x = 0; x < colours.size(); ++x) {
            row[x >> 6] |= std::uint64_t{colours[x] == 0} << (x & 63);
        }
    }
    return m;
}

const BlackMask& MaskOf(std::uint32_t picture) {
    for (const BlackMask& m : masks.read) {
        if (m.picture == picture) {
            return m;
        }
    }
    return masks.read.emplace_back(Read(picture));
}

} // namespace

const DeadlyArea& DeadlyAreaOf(std::uint32_t level) {
    static const DeadlyArea kNone;
    if (level < 1 || level > kLastLevel) {
        return kNone;
    }
    const ScenePictures::Backdrop& deadly = ScenePictures::SceneryOf(level).deadly;
    const std::array<std::uint32_t, 2> pictures{PictureNumber(deadly[0]), PictureNumber(deadly[1])};
    const std::uint64_t version = Display::PicturesVersion();
    Kept& k = kept[level];
    if (!k.read || k.version != version || k.pictures != pictures) {
        // A picture loaded or released since the masks were read makes them
        // all stale: a number may now stand for another picture.
        if (masks.version != version) {
            masks.read.clear();
            masks.version = version;
        }
        k = {true, version, pictures, DeadlyArea({&MaskOf(pictures[0]), &MaskOf(pictures[1])})};
    }
    return k.area;
}

} // namespace Morvek
