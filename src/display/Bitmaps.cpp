// The bitmap table, opaque and masked blits into the back buffer, pixel reads.
#include "display/Clip.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace Wimdows {

namespace {

// Larger requests can only be mistakes; refusing them beats dying in the allocator.
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;

struct BitStruct {
    bool used = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> pixels; // width * height, 0x00RRGGBB
    // One bit per pixel, set where the pixel is pure white: the picture's
    // shape when it serves as a mask. Each row starts on a fresh word.
    std::vector<std::uint64_t> white;
    std::uint32_t words = 0; // words per row of `white`

    const std::uint32_t* PixelRow(std::uint32_t y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width;
    }
    const std::uint64_t* WhiteRow(std::uint32_t y) const {
        return white.data() + static_cast<std::size_t>(y) * words;
    }
};

// Bitmap number n is entry n - 1; the last entry is never free.
std::vector<BitStruct> bit;

const BitStruct* Find(std::uint32_t number) {
    if (number == 0 || number > bit.size() || !bit[number - 1].used) {
        return nullptr;
    }
    return &bit[number - 1];
}

// A new picture takes the lowest free entry, or else a new one at the end.
std::uint32_t AddBitmap(BitStruct&& picture) {
    picture.used = true;
    const auto hole = std::find_if(bit.begin(), bit.end(), [](const auto& b) { return !b.used; });
    if (hole != bit.end()) {
        *hole = std::move(picture);
        return static_cast<std::uint32_t>(hole - bit.begin()) + 1;
    }
    bit.push_back(std::move(picture));
    return static_cast<std::uint32_t>(bit.size());
}

void DelBitmap(std::size_t del) {
    bit[del] = BitStruct{};
    while (!bit.empty() && !bit.back().used) {
        bit.pop_back();
    }
}

// Closes what SDL hands out, however we leave.
struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Nearest-neighbour from the pixel centres, so that a black-and-white
// picture stays exactly black and white at any size.
std::uint32_t Sample(std::uint32_t dest, std::uint32_t destlen, std::uint32_t srclen) {
    return static_cast<std::uint32_t>((std::uint64_t{2} * dest + 1) * srclen /
                                      (std::uint64_t{2} * destlen));
}

bool Scale(SDL_Surface* src, BitStruct& out) {
    if (src->w <= 0 || src->h <= 0 || SDL_LockSurface(src) != 0) {
        return false;
    }
    std::vector<std::uint32_t> column(out.width);
    for (std::uint32_t x = 0; x < out.width; ++x) {
        column[x] = Sample(x, out.width, static_cast<std::uint32_t>(src->w));
    }
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    out.words = (out.width + 63) / 64;
    out.white.assign(static_cast<std::size_t>(out.words) * out.height, 0);
    const auto* base = static_cast<const std::uint8_t*>(src->pixels);
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const auto sy = Sample(y, out.height, static_cast<std::uint32_t>(src->h));
        const auto* srow = reinterpret_cast<const std::uint32_t*>(base + sy * src->pitch);
        auto* drow = out.pixels.data() + static_cast<std::size_t>(y) * out.width;
        auto* wrow = out.white.data() + static_cast<std::size_t>(y) * out.words;
        for (std::uint32_t x = 0; x < out.width; ++x) {
            const std::uint32_t p = srow[column[x]] & 0xFFFFFF;
            drow[x] = p;
            if (p == 0xFFFFFF) {
                wrow[x >> 6] |= std::uint64_t{1} << (x & 63);
            }
        }
    }
    SDL_UnlockSurface(src);
    return true;
}

// Copies the columns [c0, c1) of a picture row to `dst` (the back-buffer
// pixel under column c0) where `bits` (the mask row) is white; a run of white
// is one copy, a run of black costs nothing.
void MaskedRow(const std::uint32_t* src, const std::uint64_t* bits, std::uint32_t c0,
               std::uint32_t c1, std::uint32_t* dst) {
    for (std::uint32_t k = c0 >> 6; k <= (c1 - 1) >> 6; ++k) {
        std::uint64_t w = bits[k];
        const std::uint32_t base = k * 64;
        if (base < c0) {
            w &= ~std::uint64_t{0} << (c0 - base);
        }
        if (c1 - base < 64) {
            w &= ~(~std::uint64_t{0} << (c1 - base));
        }
        while (w != 0) {
            const int s = std::countr_zero(w);
            const int run = std::countr_one(w >> s);
            std::memcpy(dst + (base + s - c0), src + base + s, static_cast<std::size_t>(run) * 4);
            w = s + run == 64 ? 0 : w & (~std::uint64_t{0} << (s + run));
        }
    }
}

// SDL allocates a picture as large as its header claims before it reads a
// pixel, so a few damaged bytes could ask for gigabytes. A header is believed
// only if its pixels could be in the file (even run-length coded ones).
bool Plausible(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
    std::array<unsigned char, 26> h{};
    in.seekg(0);
    in.read(reinterpret_cast<char*>(h.data()), h.size());
    if (in.gcount() < static_cast<std::streamsize>(h.size())) {
        return true; // too short to claim anything: SDL refuses it
    }
    const auto le = [&h](std::size_t at, std::size_t bytes) {
        std::uint32_t v = 0;
        for (std::size_t i = bytes; i-- > 0;) {
            v = (v << 8) | h[at + i];
        }
        return v;
    };
    const bool core = le(14, 4) == 12; // the old header has 16-bit sizes
    const std::int64_t w = core ? le(18, 2) : static_cast<std::int32_t>(le(18, 4));
    const std::int64_t ht = core ? le(20, 2) : static_cast<std::int32_t>(le(22, 4));
    const auto pixels =
        static_cast<std::uint64_t>(std::abs(w)) * static_cast<std::uint64_t>(std::abs(ht));
    return pixels <= kMaxPixels && pixels <= 256 * static_cast<std::uint64_t>(size);
}

} // namespace

std::uint32_t LoadBitmap(std::string_view file, std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || static_cast<std::uint64_t>(width) * height > kMaxPixels) {
        return 0;
    }
    const std::string path(file.substr(0, file.find('\0')));
    // Only a plain file: reading a FIFO would wait for a writer for good.
    // Names are UTF-8, as SDL takes them, also where the system's are not.
    const std::filesystem::path name(
        std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec) || !Plausible(name)) {
        return 0;
    }
    const Surface loaded(SDL_LoadBMP(path.c_str()));
    if (!loaded) {
        return 0;
    }
    const Surface converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!converted) {
        return 0;
    }
    BitStruct picture;
    picture.width = width;
    picture.height = height;
    if (!Scale(converted.get(), picture)) {
        return 0;
    }
    return AddBitmap(std::move(picture));
}

void DestroyBitmap(std::uint32_t bitmap) {
    if (Find(bitmap) != nullptr) {
        DelBitmap(bitmap - 1);
    }
}

void FreeBitmaps() {
    bit.clear();
}

std::uint32_t BitLen() {
    return static_cast<std::uint32_t>(bit.size());
}

void DrawBitmap(std::uint32_t bitmap, std::int32_t x, std::int32_t y) {
    const BitStruct* b = Find(bitmap);
    if (b == nullptr || !CanDraw()) {
        return;
    }
    const ClipRect r = Clip(x, y, std::int64_t{x} + b->width, std::int64_t{y} + b->height);
    if (r.Empty()) {
        return;
    }
    const auto n = static_cast<std::size_t>(r.x1 - r.x0);
    for (std::int32_t dy = r.y0; dy < r.y1; ++dy) {
        const std::uint32_t* src = b->PixelRow(static_cast<std::uint32_t>(dy - y)) + (r.x0 - x);
        std::memcpy(Row(dy) + r.x0, src, n * 4);
    }
    Touched(r);
}

void DrawMaskBitmap(std::uint32_t bitmap, std::uint32_t maskbitmap, std::int32_t x,
                    std::int32_t y) {
    const BitStruct* b = Find(bitmap);
    const BitStruct* m = Find(maskbitmap);
    if (b == nullptr || m == nullptr || !CanDraw()) {
        return;
    }
    // The picture's size counts; where the mask is smaller it counts as black.
    const std::uint32_t w = std::min(b->width, m->width);
    const std::uint32_t h = std::min(b->height, m->height);
    const ClipRect r = Clip(x, y, std::int64_t{x} + w, std::int64_t{y} + h);
    if (r.Empty()) {
        return;
    }
    const auto c0 = static_cast<std::uint32_t>(r.x0 - x);
    const auto c1 = static_cast<std::uint32_t>(r.x1 - x);
    for (std::int32_t dy = r.y0; dy < r.y1; ++dy) {
        const auto row = static_cast<std::uint32_t>(dy - y);
        MaskedRow(b->PixelRow(row), m->WhiteRow(row), c0, c1, Row(dy) + r.x0);
    }
    // The whole picture area counts as drawn, as a masked copy covers it.
    Touched(Clip(x, y, std::int64_t{x} + b->width, std::int64_t{y} + b->height));
}

ClipRect limit;
bool limited = false;

void SetClip(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    limit = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};
    limited = true;
}

void ClearClip() {
    limited = false;
}

bool PictureAt(std::uint32_t bitmap, std::int32_t left, std::int32_t top, std::int32_t x,
               std::int32_t y, std::uint32_t& colour) {
    const BitStruct* b = Find(bitmap);
    if (b == nullptr) {
        return false;
    }
    const std::int64_t px = std::int64_t{x} - left, py = std::int64_t{y} - top;
    if (px < 0 || py < 0 || px >= b->width || py >= b->height) {
        return false;
    }
    colour = FromPixel(b->PixelRow(static_cast<std::uint32_t>(py))[px]);
    return true;
}

std::uint32_t GetPixel(std::uint32_t x, std::uint32_t y) {
    if (!CanDraw() || x >= window.xlen || y >= window.ylen) {
        return 0;
    }
    return FromPixel(backbuffer[static_cast<std::size_t>(y) * window.xlen + x]);
}

} // namespace Wimdows
