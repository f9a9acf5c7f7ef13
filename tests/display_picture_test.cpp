// Our own reader of plain BMP files against SDL's, which read every picture
// before: the same pixels, the same white bits and the same refusals.
#include "display/Picture.h"
#include "display/PixelMemory.h"
#include "game/core/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using namespace Display;

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A 24-bit file whose pixel (x, y) is colour(x, y), 0x00RRGGBB, top row
// first; stored bottom row first unless `topDown`. `info` is the info
// header's size, `gap` bytes lie between the headers and the pixels.
template <typename F>
Bytes Bmp(int w, int h, F colour, bool topDown = false, std::uint32_t info = 40,
          std::size_t gap = 0) {
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) / 4 * 4;
    const std::size_t offset = 14 + info + gap;
    Bytes b(offset + stride * h, 0xA5); // padding and gap not zero, so they are never read
    b[0] = 'B';
    b[1] = 'M';
    Put(b, 2, static_cast<std::uint32_t>(b.size()), 4);
    Put(b, 10, static_cast<std::uint32_t>(offset), 4);
    Put(b, 14, info, 4);
    Put(b, 18, static_cast<std::uint32_t>(w), 4);
    Put(b, 22, static_cast<std::uint32_t>(topDown ? -h : h), 4);
    Put(b, 26, 1, 2);
    Put(b, 28, 24, 2);
    Put(b, 30, 0, 4);
    for (std::size_t at = 34; at < 14 + info; ++at) {
        b[at] = 0;
    }
    for (int y = 0; y < h; ++y) {
        const int row = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) {
            Put(b, offset + stride * row + 3 * static_cast<std::size_t>(x), colour(x, y), 3);
        }
    }
    return b;
}

// The two readers agree on whether `file` is a picture at width x height and,
// if so, on every pixel and white bit, read whole and from any column on.
void ExpectSameAsSdl(const Bytes& file, std::uint32_t width, std::uint32_t height) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const auto ours = ReadBmp(file, width, height);
    const auto sdl = ReadBmpWithSdl(file, width, height);
    ASSERT_EQ(ours.has_value(), sdl.has_value());
    if (!ours) {
        return;
    }
    ASSERT_EQ(ours->width, width);
    ASSERT_EQ(ours->height, height);
    std::vector<std::uint32_t> a, b;
    bool blackAndWhite = true; // of the columns compared
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t x0 = y % 2 == 0 ? 0 : y % width;
        const std::uint32_t* mine = ours->PixelRow(y, x0, width, a);
        const std::uint32_t* theirs = sdl->PixelRow(y, x0, width, b);
        for (std::uint32_t x = x0; x < width; ++x) {
            ASSERT_EQ(mine[x - x0], theirs[x - x0]) << x << ", " << y;
            blackAndWhite = blackAndWhite && (mine[x - x0] == 0 || mine[x - x0] == 0xFFFFFF);
        }
        for (std::uint32_t w = 0; w < ours->words; ++w) {
            ASSERT_EQ(ours->WhiteRow(y)[w], sdl->WhiteRow(y)[w]) << w << ", " << y;
        }
    }
    if (IsPlainBmp(file)) {
        // Pixels are kept exactly when the white bits can't tell them.
        EXPECT_EQ(ours->pixels == nullptr, blackAndWhite);
    }
}

std::uint32_t Random(std::mt19937& rng) {
    return rng() & 0xFFFFFF;
}

TEST(PictureReader, PlainFilesReadAsSdlReadsThem) {
    std::mt19937 rng(7);
    const auto coloured = [&rng](int, int) { return Random(rng); };
    const auto blackAndWhite = [&rng](int, int) { return rng() % 2 != 0 ? 0xFFFFFFu : 0u; };
    // Black and white but one pixel, at the end, where a shortcut would miss it.
    const auto almost = [](int w, int h) {
        return [w, h](int x, int y) {
            return x == w - 1 && y == h - 1 ? 0xFFFEFFu : (x + y) % 3 != 0 ? 0xFFFFFFu : 0u;
        };
    };
    // Colours one byte away from black or white, in each of the three bytes.
    const auto near = [](int x, int y) {
        const std::uint32_t base = (x + y) % 2 != 0 ? 0xFFFFFFu : 0u;
        return base ^ (0x01u << (8 * ((x + 2 * y) % 3)));
    };
    for (const int w : {1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 63, 64, 65, 130}) {
        for (const int h : {1, 2, 5}) {
            SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h) + " file");
            for (const bool topDown : {false, true}) {
                const Bytes files[] = {Bmp(w, h, coloured, topDown),
                                       Bmp(w, h, blackAndWhite, topDown),
                                       Bmp(w, h, almost(w, h), topDown), Bmp(w, h, near, topDown)};
                for (const Bytes& file : files) {
                    ASSERT_TRUE(IsPlainBmp(file));
                    ExpectSameAsSdl(file, static_cast<std::uint32_t>(w),
                                    static_cast<std::uint32_t>(h));
                    ExpectSameAsSdl(file, static_cast<std::uint32_t>(2 * w + 1), 3);
                    ExpectSameAsSdl(file, static_cast<std::uint32_t>((w + 1) / 2), 7);
                }
            }
        }
    }
    // Black and white but one pixel, of bytes 0 and 0xFF mixed or of a grey,
    // at each place of eight: black and white is checked eight pixels at a time.
    for (const std::uint32_t primary : {0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFF00u, 0xFF00FFu,
                                        0x00FFFFu, 0x808080u, 0x010101u, 0xFEFEFEu}) {
        for (int at = 0; at < 8; ++at) {
            const Bytes file = Bmp(16, 2, [&](int x, int y) {
                return x == at + 8 * y ? primary : blackAndWhite(x, y);
            });
            ExpectSameAsSdl(file, 16, 2);
        }
    }
    // The later info headers, and pixels some way after the headers.
    for (const std::uint32_t info : {108u, 124u}) {
        const Bytes file = Bmp(21, 4, coloured, false, info, 10);
        ASSERT_TRUE(IsPlainBmp(file));
        ExpectSameAsSdl(file, 21, 4);
    }
}

TEST(PictureReader, TheGamesPicturesReadAsSdlReadsThem) {
    for (const auto& row : Morvek::catalogue) {
        SCOPED_TRACE(std::string(row.file));
        std::ifstream in(std::string(row.file), std::ios::binary);
        const Bytes file{std::istreambuf_iterator<char>(in), {}};
        ASSERT_TRUE(IsPlainBmp(file));
        ExpectSameAsSdl(file, row.width, row.height);
    }
}

TEST(PictureReader, DamagedFilesAreRefusedAsSdlRefusesThem) {
    const Bytes whole = Bmp(5, 3, [](int x, int y) { return 0x102030u * (x + 4 * y); });
    // Cut anywhere: in the headers, in the pixels, in the last row's padding.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadBmp(cut, 5, 3));
        EXPECT_FALSE(ReadBmpWithSdl(cut, 5, 3));
    }
    const auto damaged = [&whole](std::size_t at, std::uint32_t v, int bytes) {
        Bytes b = whole;
        Put(b, at, v, bytes);
        return b;
    };
    const Bytes pastTheEnd = damaged(10, 0xFFFFFFF0u, 4);
    const Bytes intoTheHeader = damaged(10, 0, 4);
    const Bytes noWidth = damaged(18, 0, 4);
    const Bytes negativeWidth = damaged(18, 0xFFFFFFFBu, 4);
    const Bytes noHeight = damaged(22, 0, 4);
    const Bytes tooTall = damaged(22, 0x7FFFFFFFu, 4);
    const Bytes lowestHeight = damaged(22, 0x80000000u, 4);
    const Bytes notBm = damaged(0, 'M', 1);
    for (const Bytes* file : {&pastTheEnd, &intoTheHeader, &noWidth, &negativeWidth, &noHeight,
                              &tooTall, &lowestHeight, &notBm}) {
        ExpectSameAsSdl(*file, 5, 3);
    }
    // Headers damaged at random: whatever one reader makes of them, so does the other.
    std::mt19937 rng(11);
    for (int i = 0; i < 3000; ++i) {
        Bytes b = whole;
        for (int n = 0; n < 3; ++n) {
            b[rng() % 54] = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0xFF : rng());
        }
        ExpectSameAsSdl(b, 1 + rng() % 9, 1 + rng() % 9);
    }
    EXPECT_FALSE(ReadBmp(pastTheEnd, 5, 3));
    EXPECT_FALSE(ReadBmp(tooTall, 5, 3));
    EXPECT_FALSE(ReadBmp(whole, 0, 3));
    EXPECT_FALSE(ReadBmp(whole, 1u << 14, 1u << 14)); // refused, not a gigabyte
}

TEST(PictureReader, OtherKindsStillGoThroughSdl) {
    Bytes file = Bmp(4, 4, [](int x, int) { return x % 2 != 0 ? 0xFFFFFFu : 0x336699u; });
    Put(file, 14, 12, 4); // the old core header says other things at those places
    EXPECT_FALSE(IsPlainBmp(file));
    Bytes bitfields = Bmp(4, 4, [](int, int) { return 0u; });
    Put(bitfields, 30, 3, 4);
    EXPECT_FALSE(IsPlainBmp(bitfields));
    Bytes thirtyTwo = Bmp(4, 4, [](int, int) { return 0u; });
    Put(thirtyTwo, 28, 32, 2);
    EXPECT_FALSE(IsPlainBmp(thirtyTwo));
    // What SDL makes of them, our reader hands on unchanged.
    for (const Bytes* other : {&file, &bitfields, &thirtyTwo}) {
        ExpectSameAsSdl(*other, 4, 4);
    }
}

TEST(PixelMemory, PicturesNeverShareTheirPixels) {
    // Sizes that fill a block, leave odd ends and need a block of their own.
    const std::size_t counts[] = {1, 17, 3u << 20, 1u << 20, 5u << 20, 9u << 20, 3, 2u << 20};
    std::vector<std::shared_ptr<std::uint32_t[]>> pixels;
    for (std::size_t i = 0; i < std::size(counts); ++i) {
        pixels.push_back(NewPixels(counts[i]));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pixels.back().get()) % 64, 0u);
        std::fill(pixels.back().get(), pixels.back().get() + counts[i],
                  static_cast<std::uint32_t>(i));
    }
    pixels.erase(pixels.begin() + 2); // a picture gone leaves the others as they were
    for (std::size_t i = 0, k = 0; i < std::size(counts); ++i) {
        if (i == 2) {
            continue;
        }
        const std::uint32_t* p = pixels[k++].get();
        EXPECT_EQ(std::count(p, p + counts[i], static_cast<std::uint32_t>(i)),
                  static_cast<std::ptrdiff_t>(counts[i]))
            << i;
    }
}

} // namespace
