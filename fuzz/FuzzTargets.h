// What each fuzz target does with one input. Shared by the libFuzzer entry
// points and by the test that replays every input kept in regressions/.
#pragma once

#include "display/Display.h"
#include "display/Picture.h"
#include "display/Run.h"
#include "game/screens/ScoreFile.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace FuzzTargets {

// A file of this process's own in the temp directory.
inline std::string TempFile(const char* name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr ? dir : "/tmp") + "/morvek-fuzz-" + std::to_string(getpid()) +
           "-" + name;
}

inline void WriteFile(const std::string& file, std::string_view data) {
    if (std::FILE* f = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
}

// A save of the file holding `data`: the file read again holds what was read
// with the result sorted in, reads cleanly, and a file that did not read
// cleanly is kept whole as the backup.
inline void SaveAndReadAgain(const std::string& file, std::string_view data) {
    using namespace Morvek;
    const std::string kept = file + ".bak";
    std::remove(kept.c_str());
    ScoreFile::Table want{};
    ScoreFile::Parse(data.substr(0, ScoreFile::kMaxRead), want);
    const bool clean = ScoreFile::ReadCleanly(data.substr(0, ScoreFile::kMaxRead), want);
    const std::uint32_t result = data.size() < 2 ? 1 : static_cast<std::uint32_t>(data[1]) * 131;
    const std::array<char, 7> name{'F', 'U', 'Z', 'Z', ' ', ' ', ' '};
    want[11] = {name, 0};
    ScoreFile::Insert(want, result);
    ScoreFile::Table written{};
    std::string error;
    if (!ScoreFile::Save(file, name, result, written, error)) {
        std::abort();
    }
    std::string again(ScoreFile::kMaxRead, '\0');
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        again.resize(std::fread(again.data(), 1, again.size(), f));
        std::fclose(f);
    }
    ScoreFile::Table read{};
    if (ScoreFile::Parse(again, read) != ScoreFile::kPlaces ||
        !ScoreFile::ReadCleanly(again, read)) {
        std::abort();
    }
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        for (std::size_t c = 0; c < name.size(); ++c) {
            if (read[i].name[c] != want[i].name[c] || written[i].name[c] != want[i].name[c]) {
                std::abort();
            }
        }
        if (read[i].points != want[i].points || written[i].points != want[i].points) {
            std::abort();
        }
    }
    std::string backup;
    if (std::FILE* f = std::fopen(kept.c_str(), "rb")) {
        backup.resize(data.size() + 1);
        backup.resize(std::fread(backup.data(), 1, backup.size(), f));
        std::fclose(f);
    }
    if (backup != (clean ? std::string() : std::string(data))) {
        std::abort();
    }
    std::remove(kept.c_str());
    std::remove((file + ".lock").c_str());
}

// The highscore file: read from bytes and from disk, then a result sorted in.
inline void Scores(std::string_view data) {
    using namespace Morvek;
    ScoreFile::Table table{};
    const std::uint32_t places = ScoreFile::Parse(data, table);
    if (places > ScoreFile::kPlaces) {
        std::abort();
    }
    const std::string text = ScoreFile::Format(table);
    ScoreFile::Table again{};
    ScoreFile::Parse(text, again);
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        (void)ScoreFile::Shown(table[i].name);
    }
    ScoreFile::Insert(table, data.empty() ? 0 : static_cast<std::uint32_t>(data[0]) * 97);
    const std::string file = TempFile("scores.txt");
    WriteFile(file, data);
    ScoreFile::Table read{};
    ScoreFile::Read(file, read);
    SaveAndReadAgain(file, data);
    std::remove(file.c_str());
}

// A script: whatever parses must print back to text that parses to the same.
// What parses holds no NUL byte, no time past the clock's end, times in order
// with the lines they came from, and no option given two values.
inline void Script(std::string_view data) {
    using Display::Run::InputEvent;
    std::vector<InputEvent> events;
    std::string error;
    if (!Display::Run::ParseScript(std::string(data), "fuzz", events, error)) {
        if (error.find('\033') != std::string::npos || error.find('\0') != std::string::npos) {
            std::abort(); // a message shows the script's words printable
        }
        return;
    }
    if (data.find('\0') != std::string_view::npos) {
        std::abort();
    }
    std::vector<std::pair<std::string, std::string>> options;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const InputEvent& e = events[i];
        if (e.ms > Display::Run::kLastMs || e.line == 0 ||
            (i > 0 && (e.ms < events[i - 1].ms || e.line <= events[i - 1].line))) {
            std::abort();
        }
        if (e.kind == InputEvent::Option) {
            const auto space = e.file.find(' ');
            const std::string name = e.file.substr(0, space), value = e.file.substr(space + 1);
            for (const auto& [n, v] : options) {
                if (n == name && v != value) {
                    std::abort();
                }
            }
            options.emplace_back(name, value);
        }
    }
    std::string text;
    for (const auto& e : events) {
        text += Display::Run::FormatEvent(e) + "\n";
    }
    std::vector<InputEvent> again;
    if (!Display::Run::ParseScript(text, "again", again, error) || again.size() != events.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (Display::Run::FormatEvent(again[i]) != Display::Run::FormatEvent(events[i])) {
            std::abort();
        }
    }
}

// A picture file read by both readers and loaded through the layer at a size
// from the first two bytes, then drawn plain and as its own mask.
inline void Picture(std::string_view data) {
    if (data.size() < 2) {
        return;
    }
    static const bool open = [] {
        Display::Run::SetHeadless(true);
        Display::Window("fuzz", 64, 64);
        Display::SetBuffering(true);
        return true;
    }();
    (void)open;
    const auto width = static_cast<std::uint32_t>(static_cast<unsigned char>(data[0]) % 80);
    const auto height = static_cast<std::uint32_t>(static_cast<unsigned char>(data[1]) % 80);
    // Our reader and SDL's agree on every file: whether it is a picture and
    // then on each pixel and white bit.
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(data.data()) + 2, data.size() - 2);
    const auto ours = Display::ReadBmp(bytes, width, height);
    const auto sdl = Display::ReadBmpWithSdl(bytes, width, height);
    if (ours.has_value() != sdl.has_value()) {
        std::abort();
    }
    std::vector<std::uint32_t> scratch, sdlScratch;
    for (std::uint32_t y = 0; ours && y < height; ++y) {
        const std::uint32_t* mine = ours->PixelRow(y, 0, width, scratch);
        const std::uint32_t* theirs = sdl->PixelRow(y, 0, width, sdlScratch);
        const std::uint64_t* white = ours->WhiteRow(y);
        if (!std::equal(mine, mine + width, theirs) ||
            !std::equal(white, white + ours->words, sdl->WhiteRow(y))) {
            std::abort();
        }
    }
    const std::string file = TempFile("picture.bmp");
    WriteFile(file, data.substr(2));
    const std::uint32_t b = Display::LoadBitmap(file, width, height);
    Display::DrawBitmap(b, -7, 5);
    Display::DrawMaskBitmap(b, b, 30, -3);
    Display::DestroyBitmap(b);
    std::remove(file.c_str());
}

} // namespace FuzzTargets
