// What each fuzz target does with one input. Shared by the libFuzzer entry
// points and by the test that replays every input kept in regressions/.
#pragma once

#include "display/Run.h"
#include "display/Wimdows.h"
#include "game/screens/ScoreFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// The highscore file: read from bytes and from disk, then a result sorted in.
inline void Scores(std::string_view data) {
    using namespace Procedures;
    ScoreFile::Table table{};
    const card places = ScoreFile::Parse(data, table);
    if (places > ScoreFile::kPlaces) {
        std::abort();
    }
    const std::string text = ScoreFile::Format(table);
    ScoreFile::Table again{};
    ScoreFile::Parse(text, again);
    for (card i = 1; i <= ScoreFile::kPlaces; ++i) {
        (void)ScoreFile::Shown(table[i].naam);
    }
    ScoreFile::Insert(table, data.empty() ? 0 : static_cast<card>(data[0]) * 97);
    const std::string file = TempFile("scores.txt");
    WriteFile(file, data);
    ScoreFile::Table read{};
    ScoreFile::Read(file, read);
    std::remove(file.c_str());
}

// A script: whatever parses must print back to text that parses to the same.
inline void Script(std::string_view data) {
    using Wimdows::Run::InputEvent;
    std::vector<InputEvent> events;
    std::string error;
    if (!Wimdows::Run::ParseScript(std::string(data), "fuzz", events, error)) {
        return;
    }
    std::string text;
    for (const auto& e : events) {
        text += Wimdows::Run::FormatEvent(e) + "\n";
    }
    std::vector<InputEvent> again;
    if (!Wimdows::Run::ParseScript(text, "again", again, error) || again.size() != events.size()) {
        std::abort();
    }
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (Wimdows::Run::FormatEvent(again[i]) != Wimdows::Run::FormatEvent(events[i])) {
            std::abort();
        }
    }
}

// A picture file loaded through the layer at a size from the first two bytes,
// then drawn plain and as its own mask.
inline void Picture(std::string_view data) {
    if (data.size() < 2) {
        return;
    }
    static const bool open = [] {
        Wimdows::Run::SetHeadless(true);
        Wimdows::Window("fuzz", 64, 64);
        Wimdows::SetBuffering(true);
        return true;
    }();
    (void)open;
    const auto width = static_cast<std::uint32_t>(static_cast<unsigned char>(data[0]) % 80);
    const auto height = static_cast<std::uint32_t>(static_cast<unsigned char>(data[1]) % 80);
    const std::string file = TempFile("picture.bmp");
    WriteFile(file, data.substr(2));
    const std::uint32_t b = Wimdows::LoadBitmap(file, width, height);
    Wimdows::DrawBitmap(b, -7, 5);
    Wimdows::DrawMaskBitmap(b, b, 30, -3);
    Wimdows::DestroyBitmap(b);
    std::remove(file.c_str());
}

} // namespace FuzzTargets
