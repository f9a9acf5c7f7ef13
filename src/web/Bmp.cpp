#include "SDL.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

namespace {

const char* lastError = "";

std::uint32_t Le(std::span<const unsigned char> b, std::size_t at, std::size_t bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        v = (v << 8) | b[at + i];
    }
    return v;
}

SDL_Surface* Fail(const char* why) {
    lastError = why;
    return nullptr;
}

SDL_Surface* NewSurface(int w, int h) {
    auto* s = new SDL_Surface;
    s->w = w;
    s->h = h;
    s->pitch = w * 4;
    s->pixels = std::calloc(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 4);
    return s;
}

SDL_Surface* Parse(std::span<const unsigned char> b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 14, 4) < 40) {
        return Fail("not a BMP picture this reader knows");
    }
    const auto offset = Le(b, 10, 4);
    const auto w = static_cast<std::int32_t>(Le(b, 18, 4));
    const auto rawH = static_cast<std::int32_t>(Le(b, 22, 4));
    const auto bits = Le(b, 28, 2);
    const auto compression = Le(b, 30, 4);
    if (w <= 0 || rawH == 0 || rawH < -(1 << 20) || w > (1 << 20) || (bits != 24 && bits != 32) ||
        (compression != 0 && !(compression == 3 && bits == 32))) {
        return Fail("unsupported BMP picture");
    }
    const bool bottomUp = rawH > 0;
    const std::int32_t h = bottomUp ? rawH : -rawH;
    const std::uint64_t bytes = bits / 8;
    const std::uint64_t stride = (w * bytes + 3) & ~std::uint64_t{3};
    if (offset > b.size() || stride * static_cast<std::uint64_t>(h) > b.size() - offset) {
        return Fail("the picture's pixels are cut short");
    }
    SDL_Surface* s = NewSurface(w, h);
    auto* out = static_cast<std::uint32_t*>(s->pixels);
    for (std::int32_t y = 0; y < h; ++y) {
        const std::int32_t row = bottomUp ? h - 1 - y : y;
        const unsigned char* p = b.data() + offset + stride * static_cast<std::uint64_t>(row);
        for (std::int32_t x = 0; x < w; ++x, p += bytes) {
            out[static_cast<std::size_t>(y) * w + x] =
                (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
    return s;
}

} // namespace

struct SDL_RWops {
    std::span<const unsigned char> bytes;
};

SDL_RWops* SDL_RWFromConstMem(const void* mem, int size) {
    if (mem == nullptr || size < 0) {
        return nullptr;
    }
    return new SDL_RWops{{static_cast<const unsigned char*>(mem), static_cast<std::size_t>(size)}};
}

SDL_Surface* SDL_LoadBMP_RW(SDL_RWops* src, int) {
    const std::unique_ptr<SDL_RWops> owned(src);
    return src != nullptr ? Parse(src->bytes) : Fail("no bytes to read");
}

SDL_Surface* SDL_LoadBMP(const char* file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return Fail("cannot open the file");
    }
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    return Parse(b);
}

SDL_Surface* SDL_ConvertSurfaceFormat(const SDL_Surface* src, std::uint32_t, std::uint32_t) {
    SDL_Surface* s = NewSurface(src->w, src->h);
    std::memcpy(s->pixels, src->pixels, static_cast<std::size_t>(src->pitch) * src->h);
    return s;
}

void SDL_FreeSurface(SDL_Surface* surface) {
    if (surface != nullptr) {
        std::free(surface->pixels);
        delete surface;
    }
}

const char* SDL_GetError() {
    return lastError;
}
