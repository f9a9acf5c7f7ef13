// The drawn pictures on disk, read back byte by byte: sizes, masks, mirrored
// twins and the deadly areas the game reads pixels from.
#include "display/Display.h"
#include "game/core/Catalogue.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> px; // 0xRRGGBB, top row first
    std::uint32_t at(int x, int y) const {
        return px[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

std::uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + std::size_t(i)];
    return v;
}

// Reads a 24-bit bottom-up BMP; an empty picture when it is anything else.
Picture readBmp(std::string_view file) {
    std::ifstream f{std::string(file), std::ios::binary};
    const std::vector<unsigned char> b{std::istreambuf_iterator<char>(f), {}};
    Picture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || le(b, 28, 2) != 24 || le(b, 30, 4) != 0)
        return p;
    const int w = int(le(b, 18, 4)), h = int(le(b, 22, 4));
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3), offset = le(b, 10, 4);
    if (w <= 0 || h <= 0 || b.size() < offset + stride * std::size_t(h))
        return p;
    p.width = w;
    p.height = h;
    p.px.resize(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::size_t at = offset + std::size_t(h - 1 - y) * stride + std::size_t(x) * 3;
            p.px[std::size_t(y) * std::size_t(w) + std::size_t(x)] =
                (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 1]) << 8) | b[at];
        }
    return p;
}

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0;

std::string pictureOf(std::string_view mask) {
    if (mask == "Media/GameOverMask.bmp")
        return "Media/GameOver.bmp";
    std::string s(mask);
    return s.replace(s.find("Mask.bmp"), 8, ".bmp");
}

TEST(Media, EveryFileIsAReadableBmpAtItsCatalogueSize) {
    TestWorld::Fresh();
    for (const auto& row : Morvek::catalogue) {
        SCOPED_TRACE(std::string(row.file));
        const Picture p = readBmp(row.file);
        // Life.bmp is loaded a second time, scaled down, from the same file.
        if (row.file != "Media/Life.bmp" && row.file != "Media/LifeMask.bmp") {
            EXPECT_EQ(p.width, int(row.width));
            EXPECT_EQ(p.height, int(row.height));
        }
        EXPECT_NE(Display::LoadBitmap(row.file, row.width, row.height), 0u);
    }
}

TEST(Media, MasksAreBlackAndWhiteAndCoverTheirPicture) {
    for (const auto& row : Morvek::catalogue) {
        if (!row.mask)
            continue;
        SCOPED_TRACE(std::string(row.file));
        const Picture mask = readBmp(row.file), pic = readBmp(pictureOf(row.file));
        ASSERT_EQ(mask.px.size(), pic.px.size());
        std::size_t white = 0, strays = 0, uncovered = 0;
        for (std::size_t i = 0; i < mask.px.size(); ++i) {
            white += mask.px[i] == kWhite;
            strays += mask.px[i] != kWhite && mask.px[i] != kBlack;
            uncovered += mask.px[i] == kBlack && pic.px[i] != kBlack; // drawn but never shown
        }
        EXPECT_GT(white, 0u);
        EXPECT_LT(white, mask.px.size()); // a mask that hides nothing is no mask
        EXPECT_EQ(strays, 0u);
        EXPECT_EQ(uncovered, 0u);
    }
}

TEST(Media, MirroredBackgroundsAreExactMirrors) {
    for (const char* n : {"1", "2", "3"})
        for (const std::string kind : {"Back", "Border"}) {
            const std::string file = "Media/" + kind + n + ".bmp";
            SCOPED_TRACE(file);
            const Picture a = readBmp(file), b = readBmp("Media/" + kind + n + "spiegel.bmp");
            ASSERT_EQ(a.width, 1024);
            ASSERT_EQ(b.width, 1024);
            int wrong = 0;
            for (int y = 0; y < a.height; ++y)
                for (int x = 0; x < a.width; ++x)
                    wrong += a.at(x, y) != b.at(a.width - 1 - x, y);
            EXPECT_EQ(wrong, 0);
        }
}

TEST(Media, DeadlyAreasKeepTheBattleBandFreeAndHaveGround) {
    for (const char* file : {"Media/Border1.bmp", "Media/Border2.bmp", "Media/Border3.bmp"}) {
        SCOPED_TRACE(file);
        const Picture p = readBmp(file);
        ASSERT_EQ(p.height, 768);
        int strays = 0, inBand = 0, bottom = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const auto v = p.at(x, y);
                strays += v != kWhite && v != kBlack;
                inBand += v == kBlack && y >= 120 && y <= 660;
                bottom += v == kBlack && y == 767;
            }
        EXPECT_EQ(strays, 0);
        EXPECT_EQ(inBand, 0);
        EXPECT_EQ(bottom, p.width); // solid ground all along the bottom edge
    }
    // The ice cave also has a ceiling, all along the top.
    const Picture cave = readBmp("Media/Border2.bmp");
    for (int x = 0; x < cave.width; ++x)
        ASSERT_EQ(cave.at(x, 0), kBlack) << x;
}

TEST(Media, HudStripStaysLightOnEveryLevel) {
    // Purple HUD text over the top rows needs a light backdrop.
    for (const char* file : {"Media/Back1.bmp", "Media/Back2.bmp", "Media/Back3.bmp"}) {
        SCOPED_TRACE(file);
        const Picture p = readBmp(file);
        ASSERT_EQ(p.height, 768);
        int dark = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < p.width; ++x) {
                const auto v = p.at(x, y);
                const int luma = int((v >> 16) * 3 + ((v >> 8) & 0xFF) * 6 + (v & 0xFF)) / 10;
                dark += luma < 140;
            }
        EXPECT_LT(dark, p.width * 60 / 50); // a few outline pixels at most
    }
}

TEST(Media, IcicleCollisionIsBlackExactlyWhereTheIcicleShows) {
    const Picture mask = readBmp("Media/IjspegelMask.bmp"),
                  coll = readBmp("Media/IjspegelColl.bmp");
    ASSERT_EQ(coll.px.size(), mask.px.size());
    for (std::size_t i = 0; i < mask.px.size(); ++i)
        ASSERT_EQ(coll.px[i], mask.px[i] == kWhite ? kBlack : kWhite) << i;
}

// Rows covered by a mask's column.
std::pair<int, int> span(const Picture& mask, int x) {
    int top = mask.height, bottom = -1;
    for (int y = 0; y < mask.height; ++y)
        if (mask.at(x, y) == kWhite) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    return {top, bottom};
}

TEST(Media, BeamPiecesJoinWithoutASeam) {
    // The beam alternates the two pieces: A B A B ...
    const Picture a = readBmp("Media/FirebeamMask.bmp"), b = readBmp("Media/FirebeamspMask.bmp");
    for (auto [left, right] : {std::pair{&a, &b}, std::pair{&b, &a}}) {
        const auto [t0, b0] = span(*left, left->width - 1);
        const auto [t1, b1] = span(*right, 0);
        EXPECT_LE(std::abs(t0 - t1), 1);
        EXPECT_LE(std::abs(b0 - b1), 1);
    }
}

} // namespace
