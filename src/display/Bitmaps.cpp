// The bitmap table, opaque and masked blits into the back buffer, pixel reads.
#include "display/Clip.h"
#include "display/Machinery.h"
#include "display/Picture.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Display {

namespace {

std::vector<BitmapEntry> bit;
std::uint64_t version = 0; // of the table: every load and release moves it on
// Versions are drawn from one count for every run's table, so two runs'
// tables never share one.
std::uint64_t lastVersion = 0;

// Where DrawBitmap and DrawMaskBitmap spell out a row of a black-and-white picture.
std::vector<std::uint32_t> scratch;

const Picture* Find(std::uint32_t number) {
    if (number == 0 || number > bit.size() || !bit[number - 1].used) {
        return nullptr;
    }
    return &bit[number - 1].picture;
}

// A new picture takes the lowest free entry, or else a new one at the end.
std::uint32_t AddBitmap(Picture&& picture) {
    version = ++lastVersion;
    const auto hole = std::find_if(bit.begin(), bit.end(), [](const auto& b) { return !b.used; });
    if (hole != bit.end()) {
        *hole = {true, std::move(picture)};
        return static_cast<std::uint32_t>(hole - bit.begin()) + 1;
    }
    bit.push_back({true, std::move(picture)});
    return static_cast<std::uint32_t>(bit.size());
}

void DelBitmap(std::size_t del) {
    version = ++lastVersion;
    bit[del] = BitmapEntry{};
    while (!bit.empty() && !bit.back().used) {
        bit.pop_back();
    }
}

// Copies the columns [c0, c1) of a picture row (`src` from column c0 on) to
// `dst` (the back-buffer pixel under column c0) where `bits` (the mask row) is
// white; a run of white is one copy, a run of black costs nothing.
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
            std::memcpy(dst + (base + s - c0), src + (base + s - c0),
                        static_cast<std::size_t>(run) * 4);
            w = s + run == 64 ? 0 : w & (~std::uint64_t{0} << (s + run));
        }
    }
}

// A file larger than any picture we take could need is refused unread.
constexpr std::uint64_t kMaxFileBytes = 4 * kMaxPixels + (std::uint64_t{1} << 20);

// Where files are read: kept from one picture to the next, as fresh memory
// costs more to touch than the file costs to read.
struct ReadBuffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t capacity = 0;
};
ReadBuffer buffer;

// The whole file in one read: read piecemeal, a picture costs a system call a row.
std::optional<std::span<const std::uint8_t>> ReadWhole(const std::filesystem::path& name) {
#ifdef __EMSCRIPTEN__
    // The page's streams read 4 KiB at a time, each a call out to its file
    // system: a whole picture in one fread costs a tenth of that.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"),
                                                               &std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) {
        return {};
    }
    const long size = std::ftell(file.get());
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes ||
        std::fseek(file.get(), 0, SEEK_SET) != 0) {
        return {};
    }
    const auto bytes = static_cast<std::size_t>(size);
    if (bytes > buffer.capacity) {
        buffer = {std::make_unique<std::uint8_t[]>(bytes), bytes};
    }
    if (std::fread(buffer.data.get(), 1, bytes, file.get()) != bytes) {
        return {};
    }
    return std::span<const std::uint8_t>(buffer.data.get(), bytes);
#else
    std::ifstream in(name, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxFileBytes) {
        return {};
    }
    const auto bytes = static_cast<std::size_t>(size);
    if (bytes > buffer.capacity) {
        buffer = {std::make_unique<std::uint8_t[]>(bytes), bytes};
    }
    in.seekg(0);
    in.read(reinterpret_cast<char*>(buffer.data.get()), size);
    if (in.gcount() != size) {
        return {};
    }
    return std::span<const std::uint8_t>(buffer.data.get(), bytes);
#endif
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
    if (!std::filesystem::is_regular_file(name, ec)) {
        return 0;
    }
    const auto bytes = ReadWhole(name);
    if (!bytes) {
        return 0;
    }
    std::optional<Picture> picture = ReadBmp(*bytes, width, height);
    return picture ? AddBitmap(std::move(*picture)) : 0;
}

void DestroyBitmap(std::uint32_t bitmap) {
    if (Find(bitmap) != nullptr) {
        DelBitmap(bitmap - 1);
    }
}

void FreeBitmaps() {
    version = ++lastVersion;
    bit.clear();
    buffer = {};
}

std::uint32_t BitLen() {
    return static_cast<std::uint32_t>(bit.size());
}

void DrawBitmap(std::uint32_t bitmap, std::int32_t x, std::int32_t y) {
    const Picture* b = Find(bitmap);
    if (b == nullptr || !CanDraw()) {
        return;
    }
    const ClipRect r = Clip(x, y, std::int64_t{x} + b->width, std::int64_t{y} + b->height);
    if (r.Empty()) {
        return;
    }
    const auto c0 = static_cast<std::uint32_t>(r.x0 - x);
    const auto c1 = static_cast<std::uint32_t>(r.x1 - x);
    for (std::int32_t dy = r.y0; dy < r.y1; ++dy) {
        const std::uint32_t* src = b->PixelRow(static_cast<std::uint32_t>(dy - y), c0, c1, scratch);
        std::memcpy(Row(dy) + r.x0, src, std::size_t{c1 - c0} * 4);
    }
    Touched(r);
}

void DrawMaskBitmap(std::uint32_t bitmap, std::uint32_t maskbitmap, std::int32_t x,
                    std::int32_t y) {
    const Picture* b = Find(bitmap);
    const Picture* m = Find(maskbitmap);
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
        MaskedRow(b->PixelRow(row, c0, c1, scratch), m->WhiteRow(row), c0, c1, Row(dy) + r.x0);
    }
    // The whole picture area counts as drawn, as a masked copy covers it.
    Touched(Clip(x, y, std::int64_t{x} + b->width, std::int64_t{y} + b->height));
}

void DrawMaskColour(std::uint32_t maskbitmap, std::int32_t x, std::int32_t y, std::uint32_t color) {
    const Picture* m = Find(maskbitmap);
    if (m == nullptr || !CanDraw()) {
        return;
    }
    const ClipRect r = Clip(x, y, std::int64_t{x} + m->width, std::int64_t{y} + m->height);
    if (r.Empty()) {
        return;
    }
    const auto c0 = static_cast<std::uint32_t>(r.x0 - x);
    const auto c1 = static_cast<std::uint32_t>(r.x1 - x);
    const std::vector<std::uint32_t> solid(c1 - c0, CreateColor(color));
    for (std::int32_t dy = r.y0; dy < r.y1; ++dy) {
        MaskedRow(solid.data(), m->WhiteRow(static_cast<std::uint32_t>(dy - y)), c0, c1,
                  Row(dy) + r.x0);
    }
    Touched(r);
}

ClipRect limit;
bool limited = false;

void Exchange(PictureState& other) {
    std::swap(bit, other.bit);
    std::swap(version, other.version);
    std::swap(limit, other.limit);
    std::swap(limited, other.limited);
}

void SetClip(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    limit = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1};
    limited = true;
}

void ClearClip() {
    limited = false;
}

bool PictureAt(std::uint32_t bitmap, std::int32_t left, std::int32_t top, std::int32_t x,
               std::int32_t y, std::uint32_t& colour) {
    const Picture* b = Find(bitmap);
    if (b == nullptr) {
        return false;
    }
    const std::int64_t px = std::int64_t{x} - left, py = std::int64_t{y} - top;
    if (px < 0 || py < 0 || px >= b->width || py >= b->height) {
        return false;
    }
    const auto row = static_cast<std::uint32_t>(py), column = static_cast<std::uint32_t>(px);
    std::vector<std::uint32_t> unused; // a single pixel is read in place
    const std::uint32_t pixel =
        b->pixels ? *b->PixelRow(row, column, column + 1, unused)
                  : ((b->WhiteRow(row)[column >> 6] >> (column & 63) & 1) != 0 ? 0xFFFFFFu : 0u);
    colour = FromPixel(pixel);
    return true;
}

bool PictureRow(std::uint32_t bitmap, std::uint32_t y, std::vector<std::uint32_t>& colours) {
    const Picture* b = Find(bitmap);
    if (b == nullptr || y >= b->height) {
        return false;
    }
    const std::uint32_t* pixels = b->PixelRow(y, 0, b->width, scratch);
    colours.resize(b->width);
    std::transform(pixels, pixels + b->width, colours.begin(), FromPixel);
    return true;
}

std::uint64_t PicturesVersion() {
    return version;
}

std::uint32_t GetPixel(std::uint32_t x, std::uint32_t y) {
    if (!CanDraw() || x >= window.xlen || y >= window.ylen) {
        return 0;
    }
    return FromPixel(backbuffer[static_cast<std::size_t>(y) * window.xlen + x]);
}

} // namespace Display
