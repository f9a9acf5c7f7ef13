#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace Art {

namespace {

// std::lround to the last bit for any float (v + 0.5 is exact as a double),
// but no call: the browser's painting spent a tenth of its time in the
// library's, a call a colour channel.
long rounded(float v) {
    const double d = v;
    return d < 0 ? -long(std::floor(0.5 - d)) : long(std::floor(d + 0.5));
}

} // namespace

Rgb mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    auto m = [t](std::uint8_t p, std::uint8_t q) {
        return std::uint8_t(rounded(float(p) + (float(q) - float(p)) * t));
    };
    return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}

Rgb scale(Rgb c, float k) {
    auto s = [k](std::uint8_t v) { return std::uint8_t(std::clamp(rounded(v * k), 0L, 255L)); };
    return {s(c.r), s(c.g), s(c.b)};
}

bool Region::empty() const {
    return std::none_of(in_.begin(), in_.end(), [](std::uint8_t v) { return v != 0; });
}

Region::Box Region::bounds() const {
    Box b{w_, h_, 0, 0};
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (in_[std::size_t(y) * w_ + x]) {
                b.x0 = std::min(b.x0, x);
                b.y0 = std::min(b.y0, y);
                b.x1 = std::max(b.x1, x + 1);
                b.y1 = std::max(b.y1, y + 1);
            }
    return b.x1 > b.x0 ? b : Box{};
}

Region Region::crop(const Box& b) const {
    Region r(b.x1 - b.x0, b.y1 - b.y0);
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x)
            r.set(x - b.x0, y - b.y0, at(x, y));
    return r;
}

Region& Region::ellipse(float cx, float cy, float rx, float ry, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float r = std::max(rx, ry);
    const int x0 = int(std::floor(cx - r)), x1 = int(std::ceil(cx + r));
    const int y0 = int(std::floor(cy - r)), y1 = int(std::ceil(cy + r));
    for (int y = std::max(0, y0); y <= std::min(h_ - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(w_ - 1, x1); ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
            if (u * u + v * v <= 1.0f)
                set(x, y);
        }
    }
    return *this;
}

Region& Region::polygon(const std::vector<Pt>& pts) {
    // Even-odd scanline fill at pixel centres.
    const std::size_t n = pts.size();
    std::vector<float> xs;
    for (int y = 0; y < h_; ++y) {
        const float py = y + 0.5f;
        xs.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Pt a = pts[i], b = pts[(i + 1) % n];
            if ((a.y <= py && b.y > py) || (b.y <= py && a.y > py))
                xs.push_back(a.x + (py - a.y) / (b.y - a.y) * (b.x - a.x));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            const int xa = std::max(0, int(std::ceil(xs[i] - 0.5f)));
            const int xb = std::min(w_ - 1, int(std::floor(xs[i + 1] - 0.5f)));
            for (int x = xa; x <= xb; ++x)
                set(x, y);
        }
    }
    return *this;
}

Region& Region::capsule(float x0, float y0, float x1, float y1, float r0, float r1) {
    const float rm = std::max(r0, r1);
    const int bx0 = int(std::floor(std::min(x0, x1) - rm)),
              bx1 = int(std::ceil(std::max(x0, x1) + rm));
    const int by0 = int(std::floor(std::min(y0, y1) - rm)),
              by1 = int(std::ceil(std::max(y0, y1) + rm));
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = std::max(0, by0); y <= std::min(h_ - 1, by1); ++y) {
        for (int x = std::max(0, bx0); x <= std::min(w_ - 1, bx1); ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = len2 > 0 ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float r = r0 + (r1 - r0) * t;
            if (ex * ex + ey * ey <= r * r)
                set(x, y);
        }
    }
    return *this;
}

Region& Region::rect(int x0, int y0, int x1, int y1) {
    for (int y = std::max(0, y0); y < std::min(h_, y1); ++y)
        for (int x = std::max(0, x0); x < std::min(w_, x1); ++x)
            set(x, y);
    return *this;
}

Region& Region::stroke(const std::vector<Pt>& pts, float r0, float r1) {
    if (pts.size() == 1)
        return circle(pts[0].x, pts[0].y, r0);
    const float n = float(pts.size() - 1);
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const float ra = r0 + (r1 - r0) * float(i) / n, rb = r0 + (r1 - r0) * float(i + 1) / n;
        capsule(pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, ra, rb);
    }
    return *this;
}

Region& Region::operator|=(const Region& o) {
    for (std::size_t i = 0; i < in_.size(); ++i)
        in_[i] |= o.in_[i];
    return *this;
}

Region& Region::operator&=(const Region& o) {
    for (std::size_t i = 0; i < in_.size(); ++i)
        in_[i] &= o.in_[i];
    return *this;
}

Region& Region::operator-=(const Region& o) {
    for (std::size_t i = 0; i < in_.size(); ++i)
        if (o.in_[i])
            in_[i] = 0;
    return *this;
}

Region Region::dilated(int n) const {
    Region cur = *this;
    for (int k = 0; k < n; ++k) {
        Region next = cur;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (!cur.at(x, y) &&
                    (cur.at(x - 1, y) || cur.at(x + 1, y) || cur.at(x, y - 1) || cur.at(x, y + 1)))
                    next.set(x, y);
        cur = std::move(next);
    }
    return cur;
}

Region Region::eroded(int n) const {
    Region cur = *this;
    for (int k = 0; k < n; ++k) {
        Region next = cur;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (cur.at(x, y) &&
                    !(cur.at(x - 1, y) && cur.at(x + 1, y) && cur.at(x, y - 1) && cur.at(x, y + 1)))
                    next.set(x, y, false);
        cur = std::move(next);
    }
    return cur;
}

Region Region::mirrored() const {
    Region m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            m.set(w_ - 1 - x, y, at(x, y));
    return m;
}

void Canvas::fill(Rgb c) {
    std::fill(px_.begin(), px_.end(), c);
    std::fill(cover_.begin(), cover_.end(), 1);
}

void Canvas::fill(const Region& r, Rgb c) {
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (r.at(x, y))
                set(x, y, c);
}

Region Canvas::coverage() const {
    Region r(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            r.set(x, y, covered(x, y));
    return r;
}

Canvas Canvas::mirrored() const {
    Canvas m(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            m.px_[std::size_t(y) * w_ + (w_ - 1 - x)] = get(x, y);
            m.cover_[std::size_t(y) * w_ + (w_ - 1 - x)] = cover_[std::size_t(y) * w_ + x];
        }
    return m;
}

Canvas Canvas::blackened() const {
    Canvas b = *this;
    for (std::size_t i = 0; i < px_.size(); ++i)
        if (!cover_[i])
            b.px_[i] = Rgb{};
    return b;
}

Canvas Canvas::mask() const {
    Canvas m(w_, h_);
    for (std::size_t i = 0; i < px_.size(); ++i) {
        m.px_[i] = cover_[i] ? Rgb{255, 255, 255} : Rgb{};
        m.cover_[i] = 1;
    }
    return m;
}

std::vector<std::uint8_t> bmpBytes(const Canvas& c) {
    const std::uint32_t w = std::uint32_t(c.width()), h = std::uint32_t(c.height());
    const std::uint32_t stride = (w * 3 + 3) & ~3u;
    const std::uint32_t dataSize = stride * h;
    std::vector<std::uint8_t> out(54 + dataSize, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        out[at] = std::uint8_t(v);
        out[at + 1] = std::uint8_t(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    put32(38, 2835);
    put32(42, 2835);
    for (std::uint32_t y = 0; y < h; ++y) {
        std::uint8_t* row = &out[54 + std::size_t(h - 1 - y) * stride];
        for (std::uint32_t x = 0; x < w; ++x) {
            const Rgb p = c.get(int(x), int(y));
            row[x * 3] = p.b;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.r;
        }
    }
    return out;
}

bool writeBmp(const std::string& path, const Canvas& c) {
    return writeFile(path, bmpBytes(c));
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(f);
}

} // namespace Art
