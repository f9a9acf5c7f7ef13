#include "game/autopilot/Terrain.h"

#include "game/core/Catalogue.h"
#include "game/core/ScenePictures.h"

#include <SDL.h>

#include <memory>
#include <string>

namespace Autopilot {

namespace {

constexpr std::int32_t kLoop = 2 * Terrain::kWidth;

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Empty for a name without a file, which then reads as no terrain.
std::string FileOf(Morvek::Picture p) {
    const auto* row = Morvek::RowOf(p);
    return row ? std::string(row->file) : std::string();
}

// Black pixels of a picture scaled to the window the way the layer scales it
// (nearest pixel centre), into columns [x0, x0 + 1024) of the strip.
bool ReadInto(const std::string& file, Terrain::Strip& strip, std::int32_t x0) {
    Surface raw(SDL_LoadBMP(file.c_str()));
    if (!raw) {
        return false;
    }
    Surface s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    if (!s || s->w <= 0 || s->h <= 0 || SDL_LockSurface(s.get()) != 0) {
        return false;
    }
    const auto sample = [](std::int64_t d, std::int64_t dl, std::int64_t sl) {
        return (2 * d + 1) * sl / (2 * dl);
    };
    const auto* base = static_cast<const std::uint8_t*>(s->pixels);
    for (std::int32_t y = 0; y < Terrain::kHeight; ++y) {
        const auto sy = sample(y, Terrain::kHeight, s->h);
        const auto* row = reinterpret_cast<const std::uint32_t*>(base + sy * s->pitch);
        for (std::int32_t x = 0; x < Terrain::kWidth; ++x) {
            const auto sx = sample(x, Terrain::kWidth, s->w);
            strip[static_cast<std::size_t>(y) * kLoop + x0 + x] = (row[sx] & 0xFFFFFF) == 0;
        }
    }
    SDL_UnlockSurface(s.get());
    return true;
}

} // namespace

void Terrain::Load() {
    for (const std::uint32_t level : Morvek::Slots(levels_)) {
        Strip strip(static_cast<std::size_t>(kLoop) * kHeight, false);
        // The loop shows the picture and then its mirror image.
        const auto& deadly = Morvek::ScenePictures::SceneryOf(level).deadly;
        if (ReadInto(FileOf(deadly[0]), strip, 0) && ReadInto(FileOf(deadly[1]), strip, kWidth)) {
            Set(level, std::move(strip));
        }
    }
}

void Terrain::Set(std::uint32_t level, Strip strip) {
    if (level >= 1 && level <= Morvek::kLastLevel) {
        levels_[level] = std::move(strip);
    }
}

bool Terrain::Deadly(std::uint32_t level, std::int32_t bx, std::int32_t x, std::int32_t y) const {
    if (level < 1 || level > Morvek::kLastLevel || levels_[level].empty()) {
        return false;
    }
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) {
        return true; // the layer reads black outside the window
    }
    const std::int32_t column = ((x - bx) % kLoop + kLoop) % kLoop;
    return levels_[level][static_cast<std::size_t>(y) * kLoop + column];
}

} // namespace Autopilot
