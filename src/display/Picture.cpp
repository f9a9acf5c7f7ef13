// Reading BMP files from their bytes into pictures at the size they are drawn.
#include "display/Picture.h"

#include "display/PixelMemory.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Display {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

std::uint32_t Le(std::span<const std::uint8_t> b, std::size_t at, std::size_t bytes) {
    std::uint32_t v = 0;
    for (std::size_t i = bytes; i-- > 0;) {
        v = (v << 8) | b[at + i];
    }
    return v;
}

// SDL allocates a picture as large as its header claims before it reads a
// pixel, so a few damaged bytes could ask for gigabytes. A header is believed
// only if its pixels could be in the file (even run-length coded ones).
bool Plausible(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 26) {
        return true; // too short to claim anything: SDL refuses it
    }
    const bool core = Le(bytes, 14, 4) == 12; // the old header has 16-bit sizes
    const std::int64_t w = core ? Le(bytes, 18, 2) : static_cast<std::int32_t>(Le(bytes, 18, 4));
    const std::int64_t h = core ? Le(bytes, 20, 2) : static_cast<std::int32_t>(Le(bytes, 22, 4));
    const auto pixels =
        static_cast<std::uint64_t>(std::abs(w)) * static_cast<std::uint64_t>(std::abs(h));
    return pixels <= kMaxPixels && pixels <= 256 * static_cast<std::uint64_t>(bytes.size());
}

bool Acceptable(std::span<const std::uint8_t> bytes, std::uint32_t width, std::uint32_t height) {
    return width != 0 && height != 0 && std::uint64_t{width} * height <= kMaxPixels &&
           Plausible(bytes);
}

// Nearest-neighbour from the pixel centres.
std::uint32_t Sample(std::uint32_t dest, std::uint32_t destlen, std::uint32_t srclen) {
    return static_cast<std::uint32_t>((std::uint64_t{2} * dest + 1) * srclen /
                                      (std::uint64_t{2} * destlen));
}

Picture Sized(std::uint32_t width, std::uint32_t height) {
    Picture out;
    out.width = width;
    out.height = height;
    out.words = (width + 63) / 64;
    return out;
}

// Where the pixels of a plain file are: bottom row first unless the height is
// negative, rows padded to whole words.
struct Plain {
    std::size_t offset = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t stride = 0;
    bool bottomUp = true;

    const std::uint8_t* Row(std::span<const std::uint8_t> bytes, std::uint32_t y) const {
        const std::uint32_t row = bottomUp ? height - 1 - y : y;
        return bytes.data() + offset + stride * row;
    }
};

std::optional<Plain> PlainLayout(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        return {};
    }
    // The info header and its two later versions: the fields read here are the same.
    const auto info = Le(bytes, 14, 4);
    if ((info != 40 && info != 108 && info != 124) || Le(bytes, 28, 2) != 24 ||
        Le(bytes, 30, 4) != 0) {
        return {};
    }
    const auto w = static_cast<std::int32_t>(Le(bytes, 18, 4));
    const auto h = static_cast<std::int32_t>(Le(bytes, 22, 4));
    if (w <= 0 || h == 0 || h == INT32_MIN) {
        return {};
    }
    Plain p;
    p.offset = Le(bytes, 10, 4);
    p.width = static_cast<std::uint32_t>(w);
    p.height = static_cast<std::uint32_t>(h < 0 ? -h : h);
    p.stride = (std::size_t{p.width} * 3 + 3) & ~std::size_t{3};
    p.bottomUp = h > 0;
    return p;
}

// A row of a plain file: blue, green and red bytes a pixel. `column` gives
// the file's column of each column of the picture.
template <typename Column> struct RowReader {
    Column column;

    const std::uint8_t* At(const std::uint8_t* src, std::uint32_t x) const {
        return src + 3 * std::size_t{column(x)};
    }

    // The white bits of columns [x0, width), added to `bits`; false if any of
    // those pixels is neither black nor white.
    bool BlackAndWhite(const std::uint8_t* src, std::uint32_t x0, std::uint32_t width,
                       std::uint64_t* bits) const {
        unsigned other = 0;
        for (std::uint32_t x = x0; x < width; ++x) {
            const std::uint8_t* p = At(src, x);
            // Neither 0 nor 0xFF, or not all three the same.
            other |= ((p[0] + 1u) & 0xFEu) | (p[0] ^ p[1]) | (p[0] ^ p[2]);
            bits[x >> 6] |= std::uint64_t{p[0] == 0xFF} << (x & 63);
        }
        return other == 0;
    }

    // Columns [x0, width) to 0x00RRGGBB pixels.
    void Coloured(const std::uint8_t* src, std::uint32_t x0, std::uint32_t width,
                  std::uint32_t* row) const {
        for (std::uint32_t x = x0; x < width; ++x) {
            const std::uint8_t* p = At(src, x);
            row[x] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
    }
};

struct Unscaled {
    std::uint32_t operator()(std::uint32_t x) const { return x; }
};

// Most pictures are drawn at the size of their file. Their rows go eight
// pixels (24 bytes, three words) at a time: a picture's bytes are read once
// per start and byte by byte they cost a good part of it.
constexpr bool kWordwise = std::endian::native == std::endian::little;

std::uint64_t Word(const std::uint8_t* p) {
    std::uint64_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void Put(std::uint32_t* to, std::uint64_t two) {
    std::memcpy(to, &two, sizeof two);
}

bool BlackAndWhiteRow(const std::uint8_t* src, std::uint32_t width, std::uint64_t* bits) {
    std::uint64_t other = 0;
    std::uint32_t x = 0;
    for (; kWordwise && x + 8 <= width; x += 8) {
        const std::uint8_t* p = src + 3 * std::size_t{x};
        const std::uint64_t a = Word(p), b = Word(p + 8), c = Word(p + 16);
        // Most of a mask or a deadly area is long runs of one or the other.
        if ((a | b | c) == 0) {
            continue;
        }
        if ((a & b & c) == ~std::uint64_t{0}) {
            bits[x >> 6] |= std::uint64_t{0xFF} << (x & 63);
            continue;
        }
        // Every byte 0 or 0xFF: each bit equal to the next within its byte.
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
        other |= ((a ^ (a >> 1)) | (b ^ (b >> 1)) | (c ^ (c >> 1))) & kLow7;
        // A pixel's three bytes the same: bytes 3i and 3i + 1 equal, and
        // 3i + 1 and 3i + 2; these masks pick those places in each word.
        other |= (a ^ ((a >> 8) | (b << 56))) & 0xFFFF00FFFF00FFFF;
        other |= (b ^ ((b >> 8) | (c << 56))) & 0xFF00FFFF00FFFF00;
        other |= (c ^ (c >> 8)) & 0x00FFFF00FFFF00FF;
        // White where byte 3i is 0xFF: bit 0 of bytes 0, 3, 6 of a, 1, 4, 7 of b, 2, 5 of c.
        const std::uint64_t eight = (a & 1) | ((a >> 23) & 2) | ((a >> 46) & 4) | ((b >> 5) & 8) |
                                    ((b >> 28) & 16) | ((b >> 51) & 32) | ((c >> 10) & 64) |
                                    ((c >> 33) & 128);
        bits[x >> 6] |= eight << (x & 63);
    }
    return other == 0 && RowReader<Unscaled>{}.BlackAndWhite(src, x, width, bits);
}

void ColouredRow(const std::uint8_t* src, std::uint32_t width, std::uint32_t* row) {
    std::uint32_t x = 0;
    for (; kWordwise && x + 8 <= width; x += 8) {
        const std::uint8_t* p = src + 3 * std::size_t{x};
        const std::uint64_t a = Word(p), b = Word(p + 8), c = Word(p + 16);
        // Two pixels a word: the low half the left one.
        constexpr std::uint64_t kHigh = std::uint64_t{kWhite} << 32;
        Put(row + x, (a & kWhite) | ((a << 8) & kHigh));
        Put(row + x + 2, (a >> 48) | ((b << 16) & 0xFF0000) | ((b << 24) & kHigh));
        Put(row + x + 4,
            ((b >> 32) & kWhite) | ((b >> 24) & 0xFF00000000) | ((c << 40) & 0xFFFF0000000000));
        Put(row + x + 6, ((c >> 16) & kWhite) | ((c >> 8) & kHigh));
    }
    RowReader<Unscaled>{}.Coloured(src, x, width, row);
}

// The white bits alone if the picture is pure black and white; else, from
// the first row holding anything else (a coloured picture costs a row here),
// the pixels alone.
template <typename BlackAndWhite, typename Coloured>
Picture ReadPlain(std::span<const std::uint8_t> bytes, const Plain& in, std::uint32_t width,
                  std::uint32_t height, BlackAndWhite blackAndWhite, Coloured coloured) {
    Picture out = Sized(width, height);
    const auto source = [&](std::uint32_t y) {
        return in.Row(bytes, Sample(y, height, in.height));
    };
    out.white.assign(std::size_t{out.words} * height, 0);
    std::uint32_t y = 0;
    while (y < height && blackAndWhite(source(y), out.white.data() + std::size_t{y} * out.words)) {
        ++y;
    }
    if (y == height) {
        return out;
    }
    out.white = {};
    out.pixels = NewPixels(std::size_t{width} * height);
    for (y = 0; y < height; ++y) {
        coloured(source(y), out.pixels.get() + std::size_t{y} * width);
    }
    return out;
}

struct SurfaceFree {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceFree>;

bool Scale(SDL_Surface* src, Picture& out) {
    if (src->w <= 0 || src->h <= 0 || SDL_LockSurface(src) != 0) {
        return false;
    }
    std::vector<std::uint32_t> column(out.width);
    for (std::uint32_t x = 0; x < out.width; ++x) {
        column[x] = Sample(x, out.width, static_cast<std::uint32_t>(src->w));
    }
    out.pixels = NewPixels(std::size_t{out.width} * out.height);
    const auto* base = static_cast<const std::uint8_t*>(src->pixels);
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const auto sy = Sample(y, out.height, static_cast<std::uint32_t>(src->h));
        const auto* srow = reinterpret_cast<const std::uint32_t*>(base + sy * src->pitch);
        auto* drow = out.pixels.get() + static_cast<std::size_t>(y) * out.width;
        for (std::uint32_t x = 0; x < out.width; ++x) {
            drow[x] = srow[column[x]] & kWhite;
        }
    }
    SDL_UnlockSurface(src);
    return true;
}

} // namespace

const std::uint64_t* Picture::WhiteRow(std::uint32_t y) const {
    if (white.empty()) {
        white.assign(std::size_t{words} * height, 0);
        for (std::uint32_t r = 0; r < height; ++r) {
            const std::uint32_t* row = pixels.get() + std::size_t{r} * width;
            std::uint64_t* bits = white.data() + std::size_t{r} * words;
            for (std::uint32_t x = 0; x < width; ++x) {
                bits[x >> 6] |= std::uint64_t{row[x] == kWhite} << (x & 63);
            }
        }
    }
    return white.data() + static_cast<std::size_t>(y) * words;
}

const std::uint32_t* Picture::PixelRow(std::uint32_t y, std::uint32_t x0, std::uint32_t x1,
                                       std::vector<std::uint32_t>& scratch) const {
    if (pixels) {
        return pixels.get() + static_cast<std::size_t>(y) * width + x0;
    }
    scratch.resize(x1 - x0);
    const std::uint64_t* bits = WhiteRow(y);
    for (std::uint32_t x = x0; x < x1; ++x) {
        scratch[x - x0] = (bits[x >> 6] >> (x & 63) & 1) != 0 ? kWhite : 0;
    }
    return scratch.data();
}

bool IsPlainBmp(std::span<const std::uint8_t> bytes) {
    return PlainLayout(bytes).has_value();
}

std::optional<Picture> ReadBmp(std::span<const std::uint8_t> bytes, std::uint32_t width,
                               std::uint32_t height) {
    if (!Acceptable(bytes, width, height)) {
        return {};
    }
    const std::optional<Plain> plain = PlainLayout(bytes);
    if (!plain) {
        return ReadBmpWithSdl(bytes, width, height);
    }
    // Cut short: refused, as SDL refuses it.
    if (plain->offset > bytes.size() ||
        plain->stride * plain->height > bytes.size() - plain->offset) {
        return {};
    }
    if (plain->width == width) {
        return ReadPlain(
            bytes, *plain, width, height,
            [width](const std::uint8_t* src, std::uint64_t* bits) {
                return BlackAndWhiteRow(src, width, bits);
            },
            [width](const std::uint8_t* src, std::uint32_t* row) { ColouredRow(src, width, row); });
    }
    std::vector<std::uint32_t> column(width);
    for (std::uint32_t x = 0; x < width; ++x) {
        column[x] = Sample(x, width, plain->width);
    }
    const auto lookup = [&column](std::uint32_t x) { return column[x]; };
    const RowReader<decltype(lookup)> reader{lookup};
    return ReadPlain(
        bytes, *plain, width, height,
        [&](const std::uint8_t* src, std::uint64_t* bits) {
            return reader.BlackAndWhite(src, 0, width, bits);
        },
        [&](const std::uint8_t* src, std::uint32_t* row) { reader.Coloured(src, 0, width, row); });
}

std::optional<Picture> ReadBmpWithSdl(std::span<const std::uint8_t> bytes, std::uint32_t width,
                                      std::uint32_t height) {
    if (!Acceptable(bytes, width, height) || bytes.size() > INT_MAX) {
        return {};
    }
    const Surface loaded(
        SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!loaded) {
        return {};
    }
    const Surface converted(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGB888, 0));
    if (!converted) {
        return {};
    }
    Picture out = Sized(width, height);
    if (!Scale(converted.get(), out)) {
        return {};
    }
    return out;
}

} // namespace Display
