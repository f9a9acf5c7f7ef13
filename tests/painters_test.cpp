// The picture generator as the page runs it: each painter on its own, in any
// order and in any worker, the page merging what they draw by file name.
#include "Canvas.h"
#include "Media.h"
#include "game/core/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace {

// Each file of the catalogue is drawn by exactly one painter (were one drawn
// twice, the page would keep whichever worker came last), and a painter
// draws the same whether it runs first or after the others.
TEST(Painters, DrawTheCatalogueBetweenThemEachFileOnceInAnyOrder) {
    const auto& last = Art::kPainters.back();
    Art::Media alone;
    last.paint(alone);
    std::map<std::string, std::string> drawnBy;
    for (const auto& painter : Art::kPainters) {
        EXPECT_GT(painter.weight, 0) << painter.subject;
        Art::Media m;
        painter.paint(m);
        EXPECT_FALSE(m.files().empty()) << painter.subject << " draws nothing";
        for (const auto& [file, canvas] : m.files()) {
            const auto [at, fresh] = drawnBy.emplace(file, painter.subject);
            EXPECT_TRUE(fresh) << file << " is drawn by " << at->second << " and "
                               << painter.subject;
            if (&painter == &last) {
                const Art::Canvas* first = alone.find(file);
                ASSERT_NE(first, nullptr) << file;
                EXPECT_TRUE(Art::bmpBytes(canvas) == Art::bmpBytes(*first))
                    << file << " differs when drawn after the others";
            }
        }
    }
    std::set<std::string, std::less<>> wanted;
    for (const auto& row : Morvek::catalogue)
        wanted.emplace(row.file);
    for (const auto& file : wanted)
        EXPECT_TRUE(drawnBy.count(file)) << "nobody draws " << file;
    for (const auto& [file, painter] : drawnBy)
        EXPECT_TRUE(wanted.count(file)) << painter << " draws " << file << ", which no one loads";
}

// Colours round half away from zero, as std::lround does: the pictures'
// bytes, and with them the deadly areas, must not move by a rounding.
TEST(Painters, MixAndScaleRoundAsLround) {
    // Half away from zero, exactly: a float plus a half is exact in double.
    // (mingw's own lround rounds the float just below a half up.)
    const auto exact = [](float v) { return static_cast<long>(std::floor(double(v) + 0.5)); };
    const auto lround8 = [&](float v) { return std::uint8_t(exact(v)); };
    for (int p = 0; p < 256; p += 3)
        for (int q = 0; q < 256; q += 5)
            for (const float t : {0.0f, 0.1f, 0.25f, 0.3f, 0.5f, 0.7f, 0.75f, 0.999f, 1.0f}) {
                const auto a = std::uint8_t(p), b = std::uint8_t(q);
                const Art::Rgb mixed = Art::mix({a, a, a}, {b, b, b}, t);
                ASSERT_EQ(mixed.r, lround8(float(a) + (float(b) - float(a)) * t))
                    << p << ' ' << q << ' ' << t;
            }
    // Exact halves, and the float just below a half, which a float sum
    // (x + 0.5f) would round up.
    for (const float k : {0.5f, 1.5f, 0.49999997f, 2.5f / 3.0f, 1.0f, 0.0f, 1.7f}) {
        for (int v = 0; v < 256; ++v) {
            const auto c = std::uint8_t(v);
            const long want = std::clamp(exact(float(c) * k), 0L, 255L);
            ASSERT_EQ(Art::scale({c, c, c}, k).g, want) << v << " * " << k;
        }
    }
}

} // namespace
