#include "display/Font.h"
#include "display/Layer.h"
#include "display/Run.h"
#include "game/core/Colours.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace Display;
namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kBackground = 0x123456; // as a back-buffer pixel

// Writes a 24-bit BMP whose pixel (x, y) is colour(x, y), as 0x00RRGGBB.
// One folder a test process, so runs side by side never share a file.
const fs::path& TestDir() {
    static const TestSupport::ScopedTempDir dir("morvek_draw_test");
    return dir.path;
}

template <typename F> std::string WriteBmp(const std::string& name, int w, int h, F colour) {
    const fs::path& dir = TestDir();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
    auto* bytes = static_cast<std::uint8_t*>(s->pixels);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y);
            std::uint8_t* p = bytes + y * s->pitch + x * 3;
            p[0] = c >> 16;
            p[1] = (c >> 8) & 0xFF;
            p[2] = c & 0xFF;
        }
    }
    const std::string file = (dir / name).string();
    EXPECT_EQ(SDL_SaveBMP(s, file.c_str()), 0);
    SDL_FreeSurface(s);
    return file;
}

// A picture whose every pixel tells where it came from.
std::uint32_t Coded(int x, int y) {
    return 0x010000u * (x + 1) + 0x000100u * (y + 1) + 0x07;
}

std::uint32_t At(int x, int y) {
    return backbuffer[static_cast<std::size_t>(y) * window.xlen + x];
}

class DrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TestWorld::Fresh();
        backbuffer.assign(backbuffer.size(), kBackground);
        SetFont(5, 0xFFFFFF);
    }

    std::uint32_t Load(int w, int h) {
        static const std::string file = WriteBmp("coded.bmp", 16, 16, Coded);
        return LoadBitmap(file, w, h);
    }
};

TEST_F(DrawTest, TableReusesTheLowestHoleAndTrimsTrailingHoles) {
    EXPECT_EQ(Load(4, 4), 1u);
    EXPECT_EQ(Load(4, 4), 2u);
    EXPECT_EQ(Load(4, 4), 3u);
    DestroyBitmap(2);
    EXPECT_EQ(BitLen(), 3u);
    EXPECT_EQ(Load(4, 4), 2u);
    EXPECT_EQ(BitLen(), 3u);

    DestroyBitmap(3);
    EXPECT_EQ(BitLen(), 2u);
    EXPECT_EQ(Load(4, 4), 3u);
    DestroyBitmap(2);
    DestroyBitmap(2); // a second release is ignored
    DestroyBitmap(3); // the hole at 2 goes with the last entry
    EXPECT_EQ(BitLen(), 1u);

    DestroyBitmap(0);
    DestroyBitmap(7);
    EXPECT_EQ(BitLen(), 1u);
    DestroyBitmap(1);
    EXPECT_EQ(BitLen(), 0u);
    EXPECT_EQ(Load(4, 4), 1u);
}

TEST_F(DrawTest, LoadingWorksWithoutAWindowAndFailsCleanly) {
    KillWindow();
    EXPECT_EQ(Load(4, 4), 1u);
    EXPECT_EQ(LoadBitmap("no/such/file.bmp", 4, 4), 0u);
    EXPECT_EQ(Load(0, 4), 0u);
    EXPECT_EQ(Load(4, 0), 0u);
    EXPECT_EQ(Load(100000, 100000), 0u); // refused, not a 40 GB allocation
    const std::string notabmp = WriteBmp("x.bmp", 1, 1, Coded) + ".txt";
    {
        std::FILE* f = std::fopen(notabmp.c_str(), "w");
        std::fputs("hello", f);
        std::fclose(f);
    }
    EXPECT_EQ(LoadBitmap(notabmp, 4, 4), 0u);
    EXPECT_EQ(BitLen(), 1u);

    // The file name ends at its first NUL, like every text of the layer.
    const std::string file = WriteBmp("coded.bmp", 16, 16, Coded);
    EXPECT_EQ(LoadBitmap(file + std::string("\0junk", 5), 4, 4), 2u);
}

TEST_F(DrawTest, ScalingPicksNearestPixelsSoMasksStayBlackAndWhite) {
    // Quarters: white top-left and bottom-right, black elsewhere.
    const auto quarters = [](int x, int y) { return (x < 2) == (y < 2) ? 0xFFFFFFu : 0u; };
    const auto mask = LoadBitmap(WriteBmp("quarters.bmp", 4, 4, quarters), 37, 23);
    ASSERT_NE(mask, 0u);
    DrawBitmap(mask, 0, 0);
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 37; ++x) {
            const auto p = At(x, y);
            ASSERT_TRUE(p == 0xFFFFFFu || p == 0u) << x << "," << y;
            // Away from the seams each quarter keeps its colour.
            if (std::abs(2 * x - 37) > 2 && std::abs(2 * y - 23) > 2) {
                ASSERT_EQ(p, (x < 18) == (y < 11) ? 0xFFFFFFu : 0u) << x << "," << y;
            }
        }
    }
    // Halving takes one pixel of each pair, colours untouched.
    DrawBitmap(Load(8, 8), 100, 100);
    EXPECT_EQ(At(100, 100), Coded(1, 1));
    EXPECT_EQ(At(107, 103), Coded(15, 7));
}

TEST_F(DrawTest, OpaqueDrawingClipsOnEveryEdge) {
    const auto pic = Load(16, 16);
    DrawBitmap(pic, -3, -5);
    EXPECT_EQ(At(0, 0), Coded(3, 5));
    EXPECT_EQ(At(12, 10), Coded(15, 15));
    EXPECT_EQ(At(13, 10), kBackground);
    EXPECT_EQ(At(12, 11), kBackground);

    DrawBitmap(pic, 1020, 760);
    EXPECT_EQ(At(1023, 767), Coded(3, 7));
    EXPECT_EQ(At(1020, 760), Coded(0, 0));
    EXPECT_EQ(At(1019, 760), kBackground);

    const auto before = backbuffer;
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {-16, 0}, {1024, 0}, {0, -16}, {0, 768}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}}) {
        DrawBitmap(pic, x, y);
    }
    DrawBitmap(0, 0, 0);
    DrawBitmap(pic + 1, 0, 0);
    EXPECT_EQ(backbuffer, before);
}

TEST_F(DrawTest, PicturesAreVoidAfterTeardown) {
    const auto pic = Load(16, 16);
    KillWindow();
    EXPECT_EQ(BitLen(), 0u);
    Window("Morvek", kWidth, kHeight);
    DrawBitmap(pic, 0, 0);
    DestroyBitmap(pic);
    EXPECT_EQ(At(0, 0), 0u);
    EXPECT_EQ(Load(16, 16), 1u);
}

TEST_F(DrawTest, MaskedDrawingMatchesAPixelByPixelReference) {
    // Wide enough for several 64-bit words per row, with random masks.
    std::mt19937 rng(7);
    constexpr int kW = 150, kH = 20;
    std::vector<bool> white(kW * kH);
    for (std::size_t i = 0; i < white.size(); ++i) {
        white[i] = rng() % 3 != 0;
    }
    const auto pic = LoadBitmap(WriteBmp("pic.bmp", kW, kH, Coded), kW, kH);
    const auto mask =
        LoadBitmap(WriteBmp("mask.bmp", kW, kH,
                            [&](int x, int y) { return white[y * kW + x] ? 0xFFFFFFu : 0u; }),
                   kW, kH);
    ASSERT_NE(pic, 0u);
    ASSERT_NE(mask, 0u);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {0, 0}, {-70, -3}, {-149, 5}, {950, 760}, {400, 300}, {1023, 767}}) {
        std::vector<std::uint32_t> want(backbuffer.size(), kBackground);
        for (int sy = 0; sy < kH; ++sy) {
            for (int sx = 0; sx < kW; ++sx) {
                const int px = x + sx, py = y + sy;
                if (white[sy * kW + sx] && px >= 0 && px < 1024 && py >= 0 && py < 768) {
                    want[py * 1024 + px] = Coded(sx, sy);
                }
            }
        }
        backbuffer.assign(backbuffer.size(), kBackground);
        DrawMaskBitmap(pic, mask, x, y);
        const auto diff = std::mismatch(want.begin(), want.end(), backbuffer.begin());
        ASSERT_TRUE(diff.first == want.end())
            << "drawn at " << x << "," << y << ": wrong pixel " << (diff.first - want.begin());
    }
}

TEST_F(DrawTest, MaskedDrawingNeedsBothPicturesAndTreatsMissingMaskAsBlack) {
    const auto pic = Load(16, 16);
    const auto allwhite =
        LoadBitmap(WriteBmp("white.bmp", 1, 1, [](int, int) { return 0xFFFFFFu; }), 8, 4);
    const auto before = backbuffer;
    DrawMaskBitmap(pic, 0, 0, 0);
    DrawMaskBitmap(0, allwhite, 0, 0);
    DrawMaskBitmap(pic, 99, 0, 0);
    EXPECT_EQ(backbuffer, before);

    // The 8 x 4 mask covers only part of the 16 x 16 picture.
    DrawMaskBitmap(pic, allwhite, 10, 10);
    EXPECT_EQ(At(10, 10), Coded(0, 0));
    EXPECT_EQ(At(17, 13), Coded(7, 3));
    EXPECT_EQ(At(18, 13), kBackground);
    EXPECT_EQ(At(17, 14), kBackground);
}

TEST_F(DrawTest, GetPixelReadsInsideTheClientAreaOnly) {
    backbuffer[767 * 1024 + 1023] = CreateColor(0x0000FF);
    EXPECT_EQ(GetPixel(1023, 767), 0x0000FFu); // red, in the game's colour order
    backbuffer.assign(backbuffer.size(), 0xFFFFFF);
    EXPECT_EQ(GetPixel(1024, 0), 0u);
    EXPECT_EQ(GetPixel(0, 768), 0u);
    EXPECT_EQ(GetPixel(static_cast<std::uint32_t>(-1), 0), 0u);
}

int CountColour(std::uint32_t pixel) {
    return static_cast<int>(std::count(backbuffer.begin(), backbuffer.end(), pixel));
}

TEST_F(DrawTest, AMaskDrawnInOneColourCoversOnlyWhereThePictureShows) {
    std::mt19937 rng(11);
    constexpr int kW = 70, kH = 9;
    std::vector<bool> white(kW * kH);
    for (std::size_t i = 0; i < white.size(); ++i) {
        white[i] = rng() % 2 != 0;
    }
    const auto mask =
        LoadBitmap(WriteBmp("shape.bmp", kW, kH,
                            [&](int x, int y) { return white[y * kW + x] ? 0xFFFFFFu : 0u; }),
                   kW, kH);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{5, 5}, {-30, -4}, {990, 763}}) {
        backbuffer.assign(backbuffer.size(), kBackground);
        DrawMaskColour(mask, x, y, 0x00FF00);
        for (int py = 0; py < 768; ++py) {
            for (int px = 0; px < 1024; ++px) {
                const int sx = px - x, sy = py - y;
                const bool inside = sx >= 0 && sx < kW && sy >= 0 && sy < kH;
                const std::uint32_t want =
                    inside && white[sy * kW + sx] ? CreateColor(0x00FF00) : kBackground;
                ASSERT_EQ(At(px, py), want) << "at " << px << "," << py << " drawn at " << x;
            }
        }
    }
    DrawMaskColour(0, 0, 0, 0x00FF00); // no picture: nothing
}

// ---- Blending ----

TEST_F(DrawTest, ATintMixesEveryChannelByItsShareAndStaysInItsBox) {
    backbuffer.assign(backbuffer.size(), 0x804020);
    Tint(10, 20, 12, 21, 0xFFFFFF, 255);
    EXPECT_EQ(At(10, 20), 0xFFFFFFu);
    EXPECT_EQ(At(12, 21), 0xFFFFFFu);
    EXPECT_EQ(At(13, 21), 0x804020u);
    EXPECT_EQ(At(12, 22), 0x804020u);
    Tint(100, 100, 100, 100, 0, 128); // half way to black, rounded
    EXPECT_EQ(At(100, 100), 0x402010u);
    Tint(200, 200, 200, 200, 0x0000FF, 255); // the game's order: red
    EXPECT_EQ(At(200, 200), 0xFF0000u);
    const auto before = backbuffer;
    Tint(0, 0, 1023, 767, 0xFFFFFF, 0);
    Tint(-50, -50, -1, -1, 0xFFFFFF, 255);
    EXPECT_EQ(backbuffer, before);
    Tint(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 999); // past full is full
    EXPECT_EQ(CountColour(0), 1024 * 768);
}

TEST_F(DrawTest, AFadedPaintMixesWithTheFrameInItsBoxAndLeavesTheRest) {
    const auto paint = [] { Rectangle(0, 0, 1023, 767, 0xFFFFFF, true); };
    DrawFaded(10, 10, 19, 19, 0, paint);
    EXPECT_EQ(CountColour(kBackground), 1024 * 768);
    DrawFaded(10, 10, 19, 19, 255, [] { Rectangle(10, 10, 19, 19, 0xFFFFFF, true); });
    EXPECT_EQ(At(15, 15), 0xFFFFFFu);

    backbuffer.assign(backbuffer.size(), 0);
    DrawFaded(100, 100, 109, 104, 51, paint); // a fifth of the way
    EXPECT_EQ(At(100, 100), 0x333333u);
    EXPECT_EQ(At(109, 104), 0x333333u);
    EXPECT_EQ(CountColour(0x333333), 10 * 5);
    EXPECT_EQ(CountColour(0), 1024 * 768 - 10 * 5) << "the paint reached past its box";
    // A clip the caller set holds again afterwards.
    SetClip(0, 0, 4, 4);
    DrawFaded(0, 0, 9, 9, 128, paint);
    Rectangle(0, 0, 9, 9, 0x00FF00, true);
    ClearClip();
    EXPECT_EQ(At(5, 5), 0u);
}

TEST_F(DrawTest, AShiftedFrameMovesEveryPixelAndRepeatsTheEdgeItLeft) {
    const auto coded = [](int x, int y) { return static_cast<std::uint32_t>(y * 1024 + x); };
    for (const auto& [dx, dy] :
         std::vector<std::pair<int, int>>{{3, 2}, {-4, 0}, {0, -5}, {-2, 3}, {5000, -5000}}) {
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                backbuffer[static_cast<std::size_t>(y) * 1024 + x] = coded(x, y);
            }
        }
        ShiftFrame(dx, dy);
        for (int y = 0; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const int from_x = std::clamp(x - dx, 0, 1023), from_y = std::clamp(y - dy, 0, 767);
                ASSERT_EQ(At(x, y), coded(from_x, from_y))
                    << "at " << x << "," << y << " moved by " << dx << "," << dy;
            }
        }
    }
    const auto before = backbuffer;
    ShiftFrame(0, 0);
    EXPECT_EQ(backbuffer, before);
}

TEST_F(DrawTest, RectanglesIncludeBothCornersInAnyOrder) {
    Rectangle(10, 10, 10, 10, 0x00FF00, true);
    EXPECT_EQ(At(10, 10), CreateColor(0x00FF00));
    EXPECT_EQ(CountColour(CreateColor(0x00FF00)), 1);

    Rectangle(20, 5, 10, 1, 0xFF0000, false);
    const auto green = CreateColor(0xFF0000);
    EXPECT_EQ(CountColour(green), 2 * 11 + 2 * 3);
    EXPECT_EQ(At(10, 1), green);
    EXPECT_EQ(At(20, 5), green);
    EXPECT_EQ(At(15, 3), kBackground);

    backbuffer.assign(backbuffer.size(), kBackground);
    Rectangle(50, 650, 170, 725, 0, false);
    EXPECT_EQ(CountColour(0), 2 * 121 + 2 * 74);
    EXPECT_EQ(At(170, 725), 0u);
    EXPECT_EQ(At(171, 725), kBackground);
    EXPECT_EQ(At(170, 726), kBackground);
}

TEST_F(DrawTest, RectanglesClipAndFramesLoseTheirHiddenEdges) {
    Rectangle(-5, -5, 2, 3, 0x0000FF, true);
    EXPECT_EQ(CountColour(CreateColor(0x0000FF)), 3 * 4);
    backbuffer.assign(backbuffer.size(), kBackground);
    Rectangle(-5, 760, 1100, 900, 0x0000FF, false); // only the top edge is on screen
    EXPECT_EQ(CountColour(CreateColor(0x0000FF)), 1024);
    Rectangle(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0x00FF00, true);
    EXPECT_EQ(CountColour(CreateColor(0x00FF00)), 1024 * 768);
}

// The colours found in the text cell, and how many of them are text.
std::set<std::uint32_t> CellColours(int x, int y, int chars) {
    std::set<std::uint32_t> seen;
    for (int py = y; py < y + Font::kCellHeight; ++py) {
        for (int px = x; px < x + chars * Font::kCellWidth; ++px) {
            seen.insert(At(px, py));
        }
    }
    return seen;
}

TEST_F(DrawTest, AClipBoxLimitsEveryDrawingUntilCleared) {
    SetClip(20, 30, 10, 10); // corners in any order, both included
    Rectangle(0, 0, 1023, 767, 0x00FF00, true);
    EXPECT_EQ(CountColour(CreateColor(0x00FF00)), 11 * 21);
    EXPECT_NE(GetPixel(9, 10), 0x00FF00u);
    EXPECT_EQ(GetPixel(10, 10), 0x00FF00u);
    EXPECT_EQ(GetPixel(20, 30), 0x00FF00u);
    EXPECT_NE(GetPixel(21, 30), 0x00FF00u);
    ClearClip();
    Rectangle(0, 0, 1023, 767, 0x00FF00, true);
    EXPECT_EQ(CountColour(CreateColor(0x00FF00)), 1024 * 768);
}

TEST_F(DrawTest, TextIsExactlyTheTextColourOverAKeptBackground) {
    SetFont(5, 0x00FF00); // blue
    Text("Ag!", 0, 0);
    EXPECT_EQ(CellColours(0, 0, 3), (std::set<std::uint32_t>{kBackground, 0x0000FF}));
    EXPECT_EQ(At(0, 12), kBackground);
    EXPECT_EQ(At(24, 0), kBackground);

    const auto before = backbuffer;
    Text(std::string_view("\0Z", 2), 100, 100); // nothing past the NUL
    EXPECT_EQ(backbuffer, before);
}

TEST_F(DrawTest, EveryGlyphHasInkAndIsDistinct) {
    std::set<Font::Glyph> seen;
    for (int c = 33; c <= 126; ++c) {
        const auto& glyph = Font::GlyphOf(5, static_cast<unsigned char>(c));
        EXPECT_TRUE(std::any_of(glyph.begin(), glyph.end(), [](auto row) { return row != 0; }))
            << static_cast<char>(c);
        EXPECT_TRUE(seen.insert(glyph).second) << "same glyph twice: " << static_cast<char>(c);
    }
    const auto& space = Font::GlyphOf(5, ' ');
    EXPECT_TRUE(std::all_of(space.begin(), space.end(), [](auto row) { return row == 0; }));
}

TEST_F(DrawTest, NumbersDrawAsTheirText) {
    const auto drawn = [](auto draw) {
        backbuffer.assign(backbuffer.size(), kBackground);
        draw();
        return backbuffer;
    };
    EXPECT_EQ(drawn([] { TextCard(0, 5, 7); }), drawn([] { Text("0", 5, 7); }));
    EXPECT_EQ(drawn([] { TextCard(2147483647, 5, 7); }), drawn([] { Text("2147483647", 5, 7); }));
    // Past the signed range a count stays a count, not a negative number.
    EXPECT_EQ(drawn([] { TextCard(4294967295u, 5, 7); }), drawn([] { Text("4294967295", 5, 7); }));
}

TEST_F(DrawTest, TextSizeIsTheCellGridAndZeroWithoutAWindow) {
    std::uint32_t w = 1, h = 1;
    GetTextSize("Score: 10", 5, w, h);
    EXPECT_EQ(w, 9u * Font::kAdvance);
    EXPECT_EQ(h, static_cast<std::uint32_t>(Font::kCellHeight));
    GetTextSize(std::string_view("ab\0cd", 5), 7, w, h);
    EXPECT_EQ(w, 2u * Font::kAdvance);
}

TEST_F(DrawTest, WithoutAWindowNothingIsDrawnOrMeasured) {
    const auto pic = Load(16, 16);
    KillWindow();
    const auto again = Load(16, 16);
    DrawBitmap(again, 0, 0);
    DrawMaskBitmap(again, again, 0, 0);
    Rectangle(0, 0, 5, 5, 0xFFFFFF, true);
    Text("Z", 0, 0);
    TextCard(5, 0, 0);
    EXPECT_EQ(GetPixel(0, 0), 0u);
    std::uint32_t w = 1, h = 1;
    GetTextSize("Score", 5, w, h);
    EXPECT_EQ(w, 0u);
    EXPECT_EQ(h, 0u);
    // A new window starts clean: nothing drawn in the meantime shows up.
    Window("Morvek", kWidth, kHeight);
    EXPECT_EQ(std::count(backbuffer.begin(), backbuffer.end(), 0u), 1024 * 768);
    EXPECT_EQ(again, pic); // the table was emptied, so the number came round again
}

// With buffering off every drawing shows at once, so what each one reports as
// drawn must cover everything it changed, clipped edges included.
TEST_F(DrawTest, UnbufferedDrawingReachesTheWindowAtOnce) {
    const auto shot = (TestDir() / "shot.bmp").string();
    const auto pic = Load(16, 16);
    const auto mask = LoadBitmap(
        WriteBmp("stripes.bmp", 16, 16, [](int x, int) { return x % 3 ? 0xFFFFFFu : 0u; }), 16, 16);
    SetBuffering(false);
    Rectangle(0, 0, 1023, 767, 0x3366CC, true);
    DrawBitmap(pic, -3, -5);
    DrawMaskBitmap(pic, mask, 1015, 760);
    Rectangle(500, 700, 1100, 800, 0x00FF00, false);
    SetFont(5, 0x008080);
    Text("Score: 120", 990, 300);
    TextCard(42, -10, 400);
    ASSERT_TRUE(Run::WriteShot(shot));

    SDL_Surface* loaded = SDL_LoadBMP(shot.c_str());
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* shown = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(loaded);
    ASSERT_EQ(shown->w, 1024);
    ASSERT_EQ(shown->h, 768);
    int wrong = 0;
    for (int y = 0; y < 768; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch);
        for (int x = 0; x < 1024; ++x) {
            wrong += (row[x] & 0xFFFFFF) != At(x, y);
        }
    }
    SDL_FreeSurface(shown);
    EXPECT_EQ(wrong, 0);
}

} // namespace

// The game names its colours by red, green and blue; the layer stores them in
// its own order. A channel swapped anywhere between shows as a wrong pixel.
TEST(ColourPacking, ChannelsReachThePixelWhereTheyBelong) {
    namespace C = Morvek::Colours;
    for (const auto& [r, g, b] : {std::array<std::uint8_t, 3>{255, 0, 0},
                                  {0, 255, 0},
                                  {0, 0, 255},
                                  {0x12, 0x34, 0x56},
                                  {255, 192, 48}}) {
        const std::uint32_t packed = C::Packed(r, g, b);
        const std::uint32_t pixel = (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
        EXPECT_EQ(CreateColor(packed), pixel) << int(r) << ',' << int(g) << ',' << int(b);
        EXPECT_EQ(FromPixel(pixel), packed);
    }
    EXPECT_EQ(CreateColor(C::kRed), 0xFF0000u);
    EXPECT_EQ(CreateColor(C::kGreen), 0x00FF00u);
    EXPECT_EQ(CreateColor(C::kBlue), 0x0000FFu);
}
