// A message laid over the shown frame (the pause). It lives in the presented
// frame only: the back buffer keeps the game's own pixels, and hiding the
// banner puts back exactly what it covered.
#include "display/Font.h"
#include "display/Host.h"
#include "display/Layer.h"
#include "display/Sync.h"

#include <algorithm>

namespace Display {

namespace {

constexpr std::int32_t kScale = 6; // 48 x 72 pixel letters
constexpr std::int32_t kBandHeight = 128;

struct Covered {
    std::int32_t y0 = 0, y1 = 0;
    std::uint32_t width = 0;
    std::vector<std::uint32_t> pixels; // the rows the band replaced
};
Covered covered;
bool shown = false;

// A quarter of the brightness: the frame stays visible behind the text.
constexpr std::uint32_t Darken(std::uint32_t p) {
    return (p >> 2) & 0x3F3F3F;
}

void DrawScaled(PixelBuffer& frame, std::uint32_t width, std::uint32_t height,
                std::string_view text, std::int32_t x, std::int32_t y, std::uint32_t pixel) {
    for (const char c : text) {
        const Font::Glyph& glyph = Font::GlyphOf(font.style, static_cast<unsigned char>(c));
        for (std::int32_t row = 0; row < Font::kCellHeight * kScale; ++row) {
            const std::int32_t py = y + row;
            const std::uint8_t bits = glyph[row / kScale];
            if (py < 0 || py >= static_cast<std::int32_t>(height) || bits == 0) {
                continue;
            }
            for (std::int32_t col = 0; col < Font::kCellWidth * kScale; ++col) {
                const std::int32_t px = x + col;
                if ((bits & (0x80u >> (col / kScale))) != 0 && px >= 0 &&
                    px < static_cast<std::int32_t>(width)) {
                    frame[static_cast<std::size_t>(py) * width + px] = pixel;
                }
            }
        }
        x += Font::kAdvance * kScale;
    }
}

void Shown(const PixelRect& r) {
    auto& frame = Presented();
    frame.changed.Add(r);
    ++frame.serial;
}

} // namespace

void ShowBanner(std::string_view text) {
    if (window.state != STATE_ACTIVE) {
        return;
    }
    text = text.substr(0, text.find('\0'));
    {
        auto& frame = Presented();
        const auto width = frame.width, height = frame.height;
        const auto mid = static_cast<std::int32_t>(height / 2);
        covered.y0 = std::max(mid - kBandHeight / 2, 0);
        covered.y1 = std::min(mid + kBandHeight / 2, static_cast<std::int32_t>(height));
        covered.width = width;
        const auto first = frame.pixels.begin() + static_cast<std::ptrdiff_t>(covered.y0 * width);
        const auto last = frame.pixels.begin() + static_cast<std::ptrdiff_t>(covered.y1 * width);
        covered.pixels.assign(first, last);
        std::transform(first, last, first, Darken);
        const auto textWidth = static_cast<std::int32_t>(text.size()) * Font::kAdvance * kScale;
        // Capitals stand on rows 2..8 of a cell: their middle goes on the band's.
        const std::int32_t y = mid - 5 * kScale - kScale / 2;
        const std::int32_t x = (static_cast<std::int32_t>(width) - textWidth) / 2;
        DrawScaled(frame.pixels, width, height, text, x + kScale / 2, y + kScale / 2, 0);
        DrawScaled(frame.pixels, width, height, text, x, y, 0xFFFFFF);
        Shown({0, covered.y0, static_cast<std::int32_t>(width), covered.y1});
    }
    shown = true;
    CallFrameHook();
    if (!Run::Headless()) {
        Host::Present();
    }
}

void HideBanner() {
    if (shown) {
        shown = false;
        CallFrameHook();
    }
    {
        auto& frame = Presented();
        // A window opened since the banner went up has a frame of its own.
        const std::size_t at = static_cast<std::size_t>(covered.y0) * covered.width;
        if (covered.pixels.empty() || covered.width != frame.width ||
            at + covered.pixels.size() > frame.pixels.size()) {
            covered = {};
            return;
        }
        std::copy(covered.pixels.begin(), covered.pixels.end(),
                  frame.pixels.begin() + static_cast<std::ptrdiff_t>(at));
        Shown({0, covered.y0, static_cast<std::int32_t>(covered.width), covered.y1});
        covered = {};
    }
    if (window.state == STATE_ACTIVE && !Run::Headless()) {
        Host::Present();
    }
}

void Notice(std::string_view text) {
    if (window.state == STATE_ACTIVE && !Run::Headless()) {
        Host::ShowNote(text);
    }
}

} // namespace Display
