// What the page does in place of SDL: reading the generator's pictures and
// turning the browser's key codes into the game's.
#include "support/TempDir.h"
#include "web/SDL.h"
#include "web/WebKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Display::Web::MapKey;

struct Free {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, Free>;

void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A 24-bit picture of 3 x 2 pixels; `rows` from the file's first row on.
std::vector<std::uint8_t> Bmp24(std::int32_t height, const std::vector<std::uint8_t>& rows) {
    std::vector<std::uint8_t> b(54 + rows.size(), 0);
    std::copy(rows.begin(), rows.end(), b.begin() + 54);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, 3);
    Put32(b, 22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 24;
    return b;
}

// Two rows of 3 pixels (B, G, R each) padded to 12 bytes.
const std::vector<std::uint8_t> kRows{
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0, 0, 0, // file row 0
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0, 0, 0, // file row 1
};

Surface Load(const std::vector<std::uint8_t>& bytes) {
    const TestSupport::ScopedTempDir temp("morvek-web-host-test");
    const fs::path file = temp.path / "picture.bmp";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    Surface s(SDL_LoadBMP(file.string().c_str()));
    fs::remove(file);
    return s;
}

std::uint32_t Pixel(const Surface& s, int x, int y) {
    return static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
}

TEST(WebPictures, RowsComeOutTopFirstWhicheverWayTheFileStoresThem) {
    const Surface up = Load(Bmp24(2, kRows)); // bottom row first
    ASSERT_TRUE(up);
    EXPECT_EQ(up->w, 3);
    EXPECT_EQ(up->h, 2);
    EXPECT_EQ(Pixel(up, 0, 0), 0x131211u);
    EXPECT_EQ(Pixel(up, 2, 0), 0x191817u);
    EXPECT_EQ(Pixel(up, 0, 1), 0x030201u);
    const Surface down = Load(Bmp24(-2, kRows)); // top row first
    ASSERT_TRUE(down);
    EXPECT_EQ(Pixel(down, 1, 0), 0x060504u);
    EXPECT_EQ(Pixel(down, 1, 1), 0x161514u);
    const Surface copy(SDL_ConvertSurfaceFormat(down.get(), SDL_PIXELFORMAT_RGB888, 0));
    ASSERT_TRUE(copy);
    EXPECT_EQ(Pixel(copy, 2, 1), 0x191817u);
}

TEST(WebPictures, DamagedOrUnknownFilesAreRefusedWithoutReadingPastTheirEnd) {
    EXPECT_FALSE(Load({}));
    EXPECT_FALSE(Load(Bmp24(2, {kRows.begin(), kRows.end() - 1}))); // one byte short
    auto huge = Bmp24(2, kRows);
    Put32(huge, 18, 1u << 30); // claims more pixels than the file holds
    EXPECT_FALSE(Load(huge));
    auto paletted = Bmp24(2, kRows);
    paletted[28] = 8;
    EXPECT_FALSE(Load(paletted));
    auto packed = Bmp24(2, kRows);
    Put32(packed, 30, 1); // run-length coded
    EXPECT_FALSE(Load(packed));
    auto offset = Bmp24(2, kRows);
    Put32(offset, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(Load(offset));
    EXPECT_FALSE(SDL_LoadBMP("/nonexistent/picture.bmp"));
}

TEST(WebPictures, BytesInMemoryReadAsTheFileWould) {
    const auto bytes = Bmp24(2, kRows);
    const Surface fromFile = Load(bytes);
    const Surface fromMemory(
        SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    ASSERT_TRUE(fromFile);
    ASSERT_TRUE(fromMemory);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(Pixel(fromMemory, x, y), Pixel(fromFile, x, y)) << x << ", " << y;
        }
    }
    EXPECT_FALSE(SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), 53), 1)); // cut in the header
    EXPECT_FALSE(SDL_LoadBMP_RW(SDL_RWFromConstMem(nullptr, 0), 1));
}

TEST(WebKeys, TheGameHearsItsKeysByTheirOwnCodes) {
    EXPECT_EQ(MapKey('A', false, true), 'A');
    EXPECT_EQ(MapKey('Z', false, true), 'Z');
    EXPECT_EQ(MapKey('7', false, true), '7');
    for (const std::uint32_t code :
         {0x25u, 0x26u, 0x27u, 0x28u, 0x20u, 0x0Du, 0x1Bu, 0x10u, 0x11u, 0x08u, 0xBDu, 0x60u}) {
        EXPECT_EQ(MapKey(code, false, true), code) << code;
    }
}

TEST(WebKeys, TheBrowserKeepsAltItsCombinationsAndTheFunctionKeys) {
    for (std::uint32_t f = 0x70; f <= 0x7B; ++f) { // F1 to F12: F5 reloads the page
        EXPECT_FALSE(MapKey(f, false, true)) << f;
    }
    EXPECT_FALSE(MapKey(0x12, false, true)); // Alt
    EXPECT_FALSE(MapKey(0x0D, true, true));  // Alt+Enter: the full screen
    EXPECT_FALSE(MapKey('P', true, true));
    EXPECT_FALSE(MapKey(0xE5, false, true)); // an input method's key
    EXPECT_FALSE(MapKey(0, false, true));
    // Going up a key always passes, so a key held when Alt went down is let go.
    EXPECT_EQ(MapKey(0x27, true, false), 0x27);
}

} // namespace
