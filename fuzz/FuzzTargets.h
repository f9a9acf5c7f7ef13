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
#include <utility>
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

inline std::string ReadWhole(const std::string& file) {
    std::string all;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) {
            all.append(chunk, n);
        }
        std::fclose(f);
    }
    return all;
}

// A save of the file holding `data`. The file read again is the best ten of
// the places read and the result, in order, and reads cleanly. Nothing the
// file held is lost without a backup: either the backup holds the old file
// whole, or the old file was its table as written and then text that the new
// file holds after the new table. A file that did not read cleanly is backed up.
inline void SaveAndReadAgain(const std::string& file, std::string_view data) {
    using namespace Morvek;
    using Entry = std::pair<std::string, std::uint32_t>;
    const auto entry = [](const Highscore& h) {
        return Entry(std::string(h.name.begin(), h.name.end()), h.points);
    };
    const std::string kept = file + ".bak";
    std::remove(kept.c_str());
    ScoreFile::Table old{};
    ScoreFile::Parse(data.substr(0, ScoreFile::kMaxRead), old);
    const bool clean = ScoreFile::ReadCleanly(data, old);
    const std::uint32_t result = data.size() < 2 ? 1 : static_cast<std::uint32_t>(data[1]) * 131;
    const std::array<char, 7> name{'F', 'U', 'Z', 'Z', ' ', ' ', ' '};
    ScoreFile::Table written{};
    std::string error;
    if (!ScoreFile::Save(file, name, result, written, error)) {
        std::abort();
    }
    const std::string again = ReadWhole(file);
    ScoreFile::Table read{};
    if (ScoreFile::Parse(again, read) != ScoreFile::kPlaces ||
        !ScoreFile::ReadCleanly(again, read)) {
        std::abort();
    }
    // Slot 11 holds what left the table.
    std::vector<Entry> before{entry({name, result})}, after{entry(written[11])};
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        if (entry(read[i]) != entry(written[i]) ||
            written[i].points < written[i == ScoreFile::kPlaces ? 11 : i + 1].points) {
            std::abort();
        }
        before.push_back(entry(old[i]));
        after.push_back(entry(written[i]));
    }
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    if (before != after) {
        std::abort();
    }
    const std::string backup = ReadWhole(kept);
    if (!backup.empty() || !clean) {
        if (backup != data) {
            std::abort();
        }
    } else {
        const std::string table = ScoreFile::Format(old);
        const std::string_view rest =
            data.starts_with(table) ? data.substr(table.size()) : std::string_view();
        if ((rest.empty() && !std::string_view(table).starts_with(data)) ||
            again != ScoreFile::Format(written) + std::string(rest)) {
            std::abort();
        }
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
inline void Script(std::string_view data) {
    using Display::Run::InputEvent;
    std::vector<InputEvent> events;
    std::string error;
    if (!Display::Run::ParseScript(std::string(data), "fuzz", events, error)) {
        return;
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
