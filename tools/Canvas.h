// A small software canvas: colour pixels plus a coverage flag per pixel, so a
// sprite's mask falls out of what was painted. Regions are pixel sets that
// shapes are built from before they are painted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Art {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb hex(std::uint32_t v) {
    return {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float k);

struct Pt {
    float x, y;
};

class Region {
  public:
    Region(int w, int h) : w_(w), h_(h), in_(std::size_t(w) * h, 0) {}
    int width() const { return w_; }
    int height() const { return h_; }
    bool at(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && in_[std::size_t(y) * w_ + x];
    }
    void set(int x, int y, bool v = true) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            in_[std::size_t(y) * w_ + x] = v;
    }
    bool empty() const;
    // The smallest box holding the region: x0, y0 inclusive, x1, y1 exclusive;
    // all zero when empty.
    struct Box {
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    };
    Box bounds() const;
    // The part inside `b`, as a region of the box's size.
    Region crop(const Box& b) const;

    // Shapes are added to the region; coordinates are pixel centres.
    Region& ellipse(float cx, float cy, float rx, float ry, float angle = 0);
    Region& circle(float cx, float cy, float r) { return ellipse(cx, cy, r, r); }
    Region& polygon(const std::vector<Pt>& pts);
    Region& capsule(float x0, float y0, float x1, float y1, float r0, float r1);
    Region& line(float x0, float y0, float x1, float y1, float r) {
        return capsule(x0, y0, x1, y1, r, r);
    }
    Region& rect(int x0, int y0, int x1, int y1); // x1, y1 exclusive
    // A chain of capsules through the points, radius easing from r0 to r1.
    Region& stroke(const std::vector<Pt>& pts, float r0, float r1);

    Region& operator|=(const Region& o);
    Region& operator&=(const Region& o);
    Region& operator-=(const Region& o);
    Region dilated(int n = 1) const;
    Region eroded(int n = 1) const;
    Region mirrored() const;

  private:
    int w_, h_;
    std::vector<std::uint8_t> in_;
};

class Canvas {
  public:
    Canvas(int w, int h) : w_(w), h_(h), px_(std::size_t(w) * h), cover_(std::size_t(w) * h, 0) {}
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb get(int x, int y) const { return px_[std::size_t(y) * w_ + x]; }
    bool covered(int x, int y) const { return cover_[std::size_t(y) * w_ + x] != 0; }
    void set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) {
            px_[std::size_t(y) * w_ + x] = c;
            cover_[std::size_t(y) * w_ + x] = 1;
        }
    }
    void blend(int x, int y, Rgb c, float a) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            set(x, y, mix(get(x, y), c, a));
    }
    void uncover(int x, int y) { cover_[std::size_t(y) * w_ + x] = 0; }
    void fill(Rgb c);
    void fill(const Region& r, Rgb c);
    Region coverage() const;
    Canvas mirrored() const;
    // Pixels nobody painted turn black, as a masked picture wants them.
    Canvas blackened() const;
    // White where covered, black elsewhere.
    Canvas mask() const;

  private:
    int w_, h_;
    std::vector<Rgb> px_;
    std::vector<std::uint8_t> cover_;
};

// 24-bit BMP, bottom-up rows padded to four bytes: its bytes, or the file.
std::vector<std::uint8_t> bmpBytes(const Canvas& c);
bool writeBmp(const std::string& path, const Canvas& c);
// The whole file at once; false if it could not be written.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace Art
