#include "support/Pictures.h"

#include "display/Display.h"
#include "game/core/ScenePictures.h"
#include "game/core/World.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace TestPictures {

namespace {

std::filesystem::path TempFile() {
    static int n = 0;
    return std::filesystem::temp_directory_path() /
           ("morvek_picture_" + std::to_string(::getpid()) + "_" + std::to_string(++n) + ".bmp");
}

std::uint32_t LoadFile(int w, int h, const std::function<std::uint32_t(int, int)>& colour,
                       std::uint32_t loadW, std::uint32_t loadH) {
    const int row = (w * 3 + 3) / 4 * 4;
    std::vector<unsigned char> data(54 + static_cast<std::size_t>(row) * h);
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int b = 0; b < bytes; ++b) {
            data[at + b] = static_cast<unsigned char>(v >> (8 * b));
        }
    };
    data[0] = 'B';
    data[1] = 'M';
    put(2, static_cast<std::uint32_t>(data.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(w), 4);
    put(22, static_cast<std::uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = colour(x, y); // rows bottom-up, bytes blue green red
            const std::size_t at = 54 + static_cast<std::size_t>(h - 1 - y) * row + x * 3;
            data[at] = static_cast<unsigned char>(c >> 8);
            data[at + 1] = static_cast<unsigned char>(c >> 16);
            data[at + 2] = static_cast<unsigned char>(c);
        }
    }
    const auto file = TempFile();
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    const std::uint32_t number = Display::LoadBitmap(file.string(), loadW, loadH);
    std::filesystem::remove(file);
    return number;
}

} // namespace

std::uint32_t Load(int w, int h, const std::function<std::uint32_t(int, int)>& colour) {
    return LoadFile(w, h, colour, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
}

std::uint32_t Solid(std::uint32_t colour, std::uint32_t w, std::uint32_t h) {
    return LoadFile(
        1, 1, [colour](int, int) { return colour; }, w, h);
}

void SetDeadlyArea(std::uint32_t level, const std::function<bool(int, int)>& black) {
    const auto& deadly = Morvek::ScenePictures::SceneryOf(level).deadly;
    for (const int half : {0, 1}) {
        const int w = Morvek::ScenePictures::kBackgroundWidth;
        Morvek::world.pictures[deadly[half]].picture =
            Load(w, static_cast<int>(Display::kHeight),
                 [&](int x, int y) { return black(half * w + x, y) ? 0u : 0xFFFFFFu; });
    }
}

Frame Grab() {
    Frame f(std::size_t{Display::kWidth} * Display::kHeight);
    for (std::uint32_t y = 0; y < Display::kHeight; ++y) {
        for (std::uint32_t x = 0; x < Display::kWidth; ++x) {
            f[std::size_t{y} * Display::kWidth + x] = Display::GetPixel(x, y);
        }
    }
    return f;
}

} // namespace TestPictures
