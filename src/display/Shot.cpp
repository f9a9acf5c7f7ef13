// What a run writes on the player's word: screenshots of the frame last
// presented (24-bit BMP), the game's states, each kept off the game's own
// files and never written through a link or onto a FIFO.
#include "display/Run.h"
#include "display/Sync.h"
#include "platform/OutFile.h"
#include "util/Quote.h"

#include <array>

namespace Display::Run {

namespace {

template <std::size_t N>
void Put(std::array<std::uint8_t, N>& out, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// The game's own files and folders; whether the write under way is a script's.
OutFile::Fence fence;

// What stands in the way, as a message ends: "cannot write ...: <this>".
std::string Why(const OutFile::Result& result) {
    switch (result.verdict) {
    case OutFile::Verdict::Outside:
        return "it leads outside the working directory";
    case OutFile::Verdict::GameFile:
        return "it is one of the game's own files";
    case OutFile::Verdict::NotRegular:
        return "it is " + result.why + ", and only regular files are written";
    case OutFile::Verdict::Failed:
        return result.why;
    case OutFile::Verdict::Ok:
        break;
    }
    return "";
}

} // namespace

void ProtectFile(const std::string& file) {
    if (!file.empty()) {
        fence.files.push_back(file);
    }
}

void ProtectFolder(const std::string& folder) {
    if (!folder.empty()) {
        fence.folders.push_back(folder);
    }
}

void ConfineOutput(bool toWorkingDir) {
    fence.withinWorkingDir = toWorkingDir;
}

void ForgetProtected() {
    fence = {};
}

std::string RefuseOutput(const std::string& file) {
    OutFile::Fence script = fence;
    script.withinWorkingDir = true;
    const OutFile::Result result = OutFile::Check(file, script);
    const std::string shown = Text::Quote(file, Text::kPathShown);
    switch (result.verdict) {
    case OutFile::Verdict::Outside:
        return "may only write inside the working directory, not " + shown;
    case OutFile::Verdict::GameFile:
        return "may not write " + shown + ", one of the game's own files";
    case OutFile::Verdict::NotRegular:
        return "may only write regular files, and " + shown + " is " + result.why;
    case OutFile::Verdict::Failed: // the write will say why, if it still fails
    case OutFile::Verdict::Ok:
        break;
    }
    return "";
}

bool WriteOutput(const std::string& file, std::string_view data, std::string& why) {
    const OutFile::Result result = OutFile::Write(file, data, fence);
    why = Why(result);
    return static_cast<bool>(result);
}

bool WriteShot(const std::string& file, std::string& why) {
    std::vector<std::uint32_t> pixels;
    std::uint32_t width = 0, height = 0;
    {
        auto& frame = Presented();
        pixels.assign(frame.pixels.begin(), frame.pixels.end());
        width = frame.width;
        height = frame.height;
    }
    if (width == 0 || height == 0) {
        why = "nothing to write";
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

    std::string bmp(header.begin(), header.end());
    bmp.reserve(header.size() + imageBytes);
    std::string row(rowBytes, '\0');
    for (std::uint32_t y = height; y-- > 0;) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            row[x * 3] = static_cast<char>(p & 0xFF);
            row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
        }
        bmp += row;
    }
    return WriteOutput(file, bmp, why);
}

bool WriteShot(const std::string& file) {
    std::string ignored;
    return WriteShot(file, ignored);
}

} // namespace Display::Run
