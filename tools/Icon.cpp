#include "Icon.h"

#include "Dragon.h"
#include "Palette.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Art {

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t crc32(const std::uint8_t* p, std::size_t n) {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i)
        c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void chunk(Bytes& out, const char* type, const Bytes& data) {
    put32(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of "stored" deflate blocks: valid everywhere, no compressor needed.
Bytes zlibStored(const Bytes& raw) {
    Bytes z{0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(raw.size() - at, 65535);
        z.push_back(at + n == raw.size() ? 1 : 0);
        z.push_back(std::uint8_t(n));
        z.push_back(std::uint8_t(n >> 8));
        z.push_back(std::uint8_t(~n));
        z.push_back(std::uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    return z;
}

} // namespace

Canvas drawIcon() {
    Canvas icon(kIconSize, kIconSize);
    const float c = kIconSize / 2.0f - 0.5f;
    icon.fill(Region(kIconSize, kIconSize).circle(c, c, 31), Pal::fireRed);
    icon.fill(Region(kIconSize, kIconSize).circle(c, c, 28), Pal::fireDeep);
    Canvas hero(56, 56);
    paintDragon(hero, {Pal::heroScale, Pal::heroBelly, Pal::heroWing, Pal::horn});
    for (int y = 0; y < hero.height(); ++y)
        for (int x = 0; x < hero.width(); ++x)
            if (hero.covered(x, y))
                icon.set(x + 4, y + 4, hero.get(x, y));
    return icon;
}

Bytes pngBytes(const Canvas& c) {
    Bytes raw;
    for (int y = 0; y < c.height(); ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < c.width(); ++x) {
            const Rgb p = c.get(x, y);
            raw.insert(raw.end(), {p.r, p.g, p.b, std::uint8_t(c.covered(x, y) ? 255 : 0)});
        }
    }
    Bytes header;
    put32(header, std::uint32_t(c.width()));
    put32(header, std::uint32_t(c.height()));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", zlibStored(raw));
    chunk(png, "IEND", {});
    return png;
}

bool writePng(const std::string& path, const Canvas& c) {
    return writeFile(path, pngBytes(c));
}

} // namespace Art
