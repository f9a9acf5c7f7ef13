// Screenshots: the frame last presented, as a 24-bit BMP.
#include "display/Run.h"
#include "display/Sync.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace Display::Run {

namespace {

template <std::size_t N>
void Put(std::array<std::uint8_t, N>& out, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

} // namespace

bool WriteShot(const std::string& file) {
    std::vector<std::uint32_t> pixels;
    std::uint32_t width = 0, height = 0;
    {
        auto& frame = Presented();
        std::lock_guard guard(frame.lock);
        pixels.assign(frame.pixels.begin(), frame.pixels.end());
        width = frame.width;
        height = frame.height;
    }
    if (width == 0 || height == 0) {
        return false;
    }
    const std::filesystem::path path(file);
    if (!MakeParent(file)) {
        return false;
    }
    const std::uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * height;
    std::array<std::uint8_t, 54> header{'B', 'M'};
    Put(header, 2, 54 + imageBytes);
    Put(header, 10, 54);
    Put(header, 14, 40);
    Put(header, 18, width);
    Put(header, 22, height); // positive: rows bottom-up
    header[26] = 1;
    header[28] = 24;
    Put(header, 34, imageBytes);
    Put(header, 38, 2835); // 72 dpi
    Put(header, 42, 2835);

    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header.data()), header.size());
    std::vector<char> row(rowBytes, 0);
    for (std::uint32_t y = height; y-- > 0;) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            row[x * 3] = static_cast<char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    out.close();
    return static_cast<bool>(out);
}

} // namespace Display::Run
