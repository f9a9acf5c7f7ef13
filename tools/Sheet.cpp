#include "Font.h"
#include "Media.h"

#include "game/core/Catalogue.h"

#include <algorithm>
#include <vector>

namespace Art {

namespace {

constexpr int kSheetWidth = 1800;
constexpr int kPad = 10;
constexpr int kLabel = 14;

// The mask a picture is drawn through, if any.
std::string_view maskOf(const Morvek::CatalogueEntry& row) {
    const auto* mask = Morvek::RowOf(row.name, true);
    return mask ? mask->file : std::string_view{};
}

struct Cell {
    const Morvek::CatalogueEntry* row;
    int w, h; // thumbnail size
    int x = 0, y = 0;
};

// Tiny pictures doubled so their pixels can be judged; large ones shrunk.
void thumbSize(int w, int h, int& tw, int& th) {
    const int big = std::max(w, h);
    if (big <= 60) {
        tw = w * 2;
        th = h * 2;
    } else if (big > 256) {
        tw = w * 256 / big;
        th = h * 256 / big;
    } else {
        tw = w;
        th = h;
    }
}

} // namespace

Canvas contactSheet(const Media& m) {
    std::vector<Cell> cells;
    std::vector<std::string_view> seen;
    for (const auto& row : Morvek::catalogue) {
        if (row.mask || std::find(seen.begin(), seen.end(), row.file) != seen.end())
            continue;
        seen.push_back(row.file);
        Cell c{&row, 0, 0};
        thumbSize(int(row.width), int(row.height), c.w, c.h);
        c.w = std::max(c.w, textWidth(row.file.substr(6), 1));
        cells.push_back(c);
    }
    int x = kPad, y = kPad, rowH = 0;
    for (auto& c : cells) {
        if (x + c.w + kPad > kSheetWidth) {
            x = kPad;
            y += rowH + kLabel + kPad;
            rowH = 0;
        }
        c.x = x;
        c.y = y;
        x += c.w + kPad;
        int tw = 0, th = 0;
        thumbSize(int(c.row->width), int(c.row->height), tw, th);
        rowH = std::max(rowH, th);
    }
    Canvas sheet(kSheetWidth, y + rowH + kLabel + kPad);
    sheet.fill(hex(0x303038));
    Region labels(sheet.width(), sheet.height());
    for (const auto& c : cells) {
        const Canvas* pic = m.find(c.row->file);
        if (!pic)
            continue;
        const std::string_view maskName = maskOf(*c.row);
        const Canvas* mask = maskName.empty() ? nullptr : m.find(maskName);
        int tw = 0, th = 0;
        thumbSize(int(c.row->width), int(c.row->height), tw, th);
        for (int ty = 0; ty < th; ++ty)
            for (int tx = 0; tx < tw; ++tx) {
                const int sx = tx * pic->width() / tw, sy = ty * pic->height() / th;
                const bool shows = !mask || mask->get(sx, sy) == Rgb{255, 255, 255};
                const bool light = ((tx / 6) + (ty / 6)) % 2 == 0;
                sheet.set(c.x + tx, c.y + ty,
                          shows ? pic->get(sx, sy) : (light ? hex(0xB8B8C0) : hex(0x8C8C96)));
            }
        text(labels, c.row->file.substr(6), c.x, c.y + th + 3, 1, 1);
    }
    sheet.fill(labels, hex(0xF0F0F0));
    return sheet;
}

} // namespace Art
