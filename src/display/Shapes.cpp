// Rectangles and text drawn into the back buffer.
#include "display/Clip.h"
#include "display/Font.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace Display {

namespace {

void Fill(const ClipRect& r, std::uint32_t pixel) {
    for (std::int32_t y = r.y0; y < r.y1; ++y) {
        std::fill(Row(y) + r.x0, Row(y) + r.x1, pixel);
    }
}

// The text up to its first NUL.
std::string_view Visible(std::string_view text) {
    return text.substr(0, text.find('\0'));
}

// Each glyph pixel becomes a `scale` x `scale` block.
void DrawGlyph(const Font::Glyph& glyph, std::int64_t x, std::int64_t y, std::int32_t scale,
               const ClipRect& clip, std::uint32_t pixel) {
    for (std::int32_t row = 0; row < Font::kCellHeight * scale; ++row) {
        const std::int64_t dy = y + row;
        const std::uint8_t bits = glyph[row / scale];
        if (bits == 0 || dy < clip.y0 || dy >= clip.y1) {
            continue;
        }
        std::uint32_t* dst = Row(static_cast<std::int32_t>(dy));
        for (std::int32_t col = 0; col < Font::kCellWidth * scale; ++col) {
            const std::int64_t dx = x + col;
            if ((bits & (0x80u >> (col / scale))) != 0 && dx >= clip.x0 && dx < clip.x1) {
                dst[dx] = pixel;
            }
        }
    }
}

// Room for the sign and ten digits of any 32-bit number, and the NUL.
using NumberText = std::array<char, 12>;

} // namespace

void Rectangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
               std::uint32_t color, bool fill) {
    if (!CanDraw()) {
        return;
    }
    // Both corners belong to the rectangle, whichever way round they come.
    const std::int64_t left = std::min(x0, x1), right = std::int64_t{std::max(x0, x1)} + 1;
    const std::int64_t top = std::min(y0, y1), bottom = std::int64_t{std::max(y0, y1)} + 1;
    const std::uint32_t pixel = CreateColor(color);
    const ClipRect all = Clip(left, top, right, bottom);
    if (all.Empty()) {
        return;
    }
    if (fill) {
        Fill(all, pixel);
    } else {
        Fill(Clip(left, top, right, top + 1), pixel);
        Fill(Clip(left, bottom - 1, right, bottom), pixel);
        Fill(Clip(left, top, left + 1, bottom), pixel);
        Fill(Clip(right - 1, top, right, bottom), pixel);
    }
    Touched(all);
}

void SetFont(std::uint32_t style, std::uint32_t color) {
    font.style = style;
    font.color = CreateColor(color);
}

void Text(std::string_view text, std::int32_t x, std::int32_t y, std::int32_t scale) {
    text = Visible(text);
    scale = std::max(scale, 1);
    if (!CanDraw() || text.empty()) {
        return;
    }
    const std::int64_t advance = Font::kAdvance * scale, cell = Font::kCellWidth * scale;
    const auto width = static_cast<std::int64_t>(text.size() - 1) * advance + cell;
    const ClipRect clip = Clip(x, y, x + width, std::int64_t{y} + Font::kCellHeight * scale);
    if (clip.Empty()) {
        return;
    }
    std::int64_t cx = x;
    for (const char c : text) {
        if (cx + cell > clip.x0 && cx < clip.x1) {
            DrawGlyph(Font::GlyphOf(font.style, static_cast<unsigned char>(c)), cx, y, scale, clip,
                      font.color);
        }
        cx += advance;
    }
    Touched(clip);
}

void TextCard(std::uint32_t number, std::int32_t x, std::int32_t y, std::int32_t scale) {
    // Written unsigned, so a number past the signed range can't come out negative.
    NumberText digits{};
    std::size_t pos = digits.size() - 1;
    do {
        digits[--pos] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    Text(std::string_view(digits.data() + pos), x, y, scale);
}

void GetTextSize(std::string_view text, std::uint32_t, std::uint32_t& width,
                 std::uint32_t& height) {
    width = 0;
    height = 0;
    if (window.state != STATE_ACTIVE) {
        return;
    }
    // Every style shares the cell size; only the strokes differ.
    width = static_cast<std::uint32_t>(Visible(text).size()) * Font::kAdvance;
    height = Font::kCellHeight;
}

} // namespace Display
