// What each fuzz target does with one input. Shared by the libFuzzer entry
// points and by the test that replays every input kept in regressions/.
#pragma once

#include "display/Display.h"
#include "display/Picture.h"
#include "display/Run.h"
#include "game/levels/Practice.h"
#include "game/screens/Layout.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/ScoreOption.h"
#include "game/settings/SettingsStore.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
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

// The lines of `text` that are comments, as they stand but for their line
// ends: a last line gets one when a line is added after it.
inline std::vector<std::string_view> Comments(std::string_view text) {
    std::vector<std::string_view> found;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        while (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        const auto first = line.find_first_not_of(" \t\r");
        if (first != std::string_view::npos && line[first] == '#') {
            found.push_back(line);
        }
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return found;
}

// One setting, picked by `which`, changed to a value picked by `to`.
inline void ChangeOne(Settings::Values& v, unsigned which, unsigned to) {
    namespace Layout = Morvek::Layout;
    constexpr std::size_t kActions = Display::Bindings::kActions.size();
    switch (which % (5 + kActions)) {
    case 0:
    case 1: {
        const auto setting =
            which % (5 + kActions) == 0 ? Layout::Setting::Difficulty : Layout::Setting::Speed;
        std::vector<Layout::Choice> choices;
        std::copy_if(Layout::kChoices.begin(), Layout::kChoices.end(), std::back_inserter(choices),
                     [setting](const Layout::Choice& c) { return c.setting == setting; });
        const auto& c = choices[to % choices.size()];
        if (setting == Layout::Setting::Difficulty) {
            v.difficulty = c.difficulty;
        } else {
            v.speed = c.speed;
        }
        break;
    }
    case 2:
        v.sound = !v.sound;
        break;
    case 3:
        v.fullscreen = !v.fullscreen;
        break;
    case 4:
        v.integerScale = !v.integerScale;
        break;
    default:
        Display::Bindings::Bind(v.keys, which % (5 + kActions) - 5, static_cast<std::uint8_t>(to));
    }
}

// A settings file read, one setting changed and the file written: the
// change is in, and every other setting, every comment and every line not
// understood is still there. Half the inputs have the file written by
// another game (or a hand) after this one read it, the other half as read.
inline void SettingsFile(std::string_view data) {
    if (data.size() < 2 || data.size() > Settings::kMaxBytes) {
        return;
    }
    const auto which = static_cast<unsigned char>(data[0]);
    const auto to = static_cast<unsigned char>(data[1]);
    const bool meanwhile = (which & 0x80) != 0;
    const std::string_view text = data.substr(2);
    const std::string file = TempFile("settings.ini");
    std::remove(file.c_str());
    if (!meanwhile) {
        WriteFile(file, text);
    }
    std::streambuf* const stderrBuffer = std::cerr.rdbuf(nullptr); // what it can't take, told
    Settings::Open(file);
    const Settings::Values start = Settings::Stored();
    if (meanwhile) {
        WriteFile(file, text);
    }
    Settings::Values mine = start;
    ChangeOne(mine, which & 0x7F, to);
    Settings::Change([&mine](Settings::Values& v) { v = mine; });
    std::cerr.rdbuf(stderrBuffer);
    std::cerr.clear();
    const bool kept = Settings::Stored() == mine;

    std::string written;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        std::array<char, 4096> chunk{};
        while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), f)) {
            written.append(chunk.data(), n);
        }
        std::fclose(f);
    }
    Settings::Close();
    std::remove(file.c_str());
    std::remove((file + ".lock").c_str());
    if (!kept) {
        std::abort();
    }
    if (mine == start) {
        if (written != text) {
            std::abort(); // nothing changed, nothing written
        }
        return;
    }
    const Settings::Read before = Settings::Parse(text);
    const Settings::Read after = Settings::Parse(written);
    if (!after.problems.empty() || after.notUnderstood != before.notUnderstood) {
        std::abort();
    }
    // The comments, in their order, among those of the file written.
    const auto was = Comments(text), is = Comments(written);
    auto next = is.begin();
    for (const auto& c : was) {
        next = std::find(next, is.end(), c);
        if (next == is.end()) {
            std::abort();
        }
        ++next;
    }
    // This game's change is in, every other setting as the file had it. A key
    // this game took from another action moves that action to a free key.
    Settings::Values want = before.values;
    if (mine.difficulty != start.difficulty) {
        want.difficulty = mine.difficulty;
    }
    if (mine.speed != start.speed) {
        want.speed = mine.speed;
    }
    want.sound = mine.sound != start.sound ? mine.sound : want.sound;
    want.fullscreen = mine.fullscreen != start.fullscreen ? mine.fullscreen : want.fullscreen;
    want.integerScale =
        mine.integerScale != start.integerScale ? mine.integerScale : want.integerScale;
    std::vector<std::uint8_t> taken;
    for (std::size_t i = 0; i < mine.keys.size(); ++i) {
        if (mine.keys[i] != start.keys[i]) {
            want.keys[i] = mine.keys[i];
            taken.push_back(mine.keys[i]);
        }
    }
    for (std::size_t i = 0; i < mine.keys.size(); ++i) {
        if (std::find(taken.begin(), taken.end(), before.values.keys[i]) != taken.end() &&
            mine.keys[i] == start.keys[i]) {
            want.keys[i] = after.values.keys[i];
        }
    }
    if (after.values != want) {
        std::abort();
    }
}

// An option line's value read into the game's own form and written back:
// a table row or a practice start that reads writes the same value again.
inline void OptionValue(const std::string& option) {
    const auto space = option.find(' ');
    const std::string name = option.substr(0, space), value = option.substr(space + 1);
    if (name == "score") {
        Morvek::ScoreFile::Table table{};
        if (Morvek::ScoreOption::Read(value, table)) {
            const std::uint32_t place = static_cast<std::uint32_t>(std::stoul(value));
            Morvek::ScoreFile::Table again{};
            const std::string line = Morvek::ScoreOption::Line(place, table[place]);
            if (line.find('#') != std::string::npos ||
                !Morvek::ScoreOption::Read(line.substr(6), again) ||
                again[place].name != table[place].name ||
                again[place].points != table[place].points) {
                std::abort();
            }
        }
    } else if (name == "practice") {
        if (const auto start = Morvek::PracticeFromName(value)) {
            const auto again = Morvek::PracticeFromName(Morvek::PracticeName(*start));
            if (!again || again->level != start->level || again->boss != start->boss) {
                std::abort();
            }
        }
    }
}

// A script: whatever parses must print back to text that parses to the same.
// What parses holds no NUL byte, no time past the clock's end, times in order
// with the lines they came from, and no option given two values. A verifier
// reads it as a recording, which differs only in not looking where `shot`
// and `state` would write: it takes all a script takes, the same.
inline void Script(std::string_view data) {
    using Display::Run::InputEvent;
    std::vector<InputEvent> events;
    std::vector<InputEvent> recorded;
    std::string error;
    const bool asRecording =
        Display::Run::ParseRecording(std::string(data), "fuzz", recorded, error);
    if (!Display::Run::ParseScript(std::string(data), "fuzz", events, error)) {
        if (error.find('\033') != std::string::npos || error.find('\0') != std::string::npos) {
            std::abort(); // a message shows the script's words printable
        }
        return;
    }
    if (data.find('\0') != std::string_view::npos || !asRecording ||
        recorded.size() != events.size()) {
        std::abort();
    }
    std::vector<std::pair<std::string, std::string>> options;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const InputEvent& e = events[i];
        if (e.ms > Display::Run::kLastMs || e.line == 0 ||
            (i > 0 && (e.ms < events[i - 1].ms || e.line <= events[i - 1].line)) ||
            Display::Run::FormatEvent(e) != Display::Run::FormatEvent(recorded[i])) {
            std::abort();
        }
        if (e.kind == InputEvent::Option) {
            // Rows of the table are told apart by their place.
            const auto space = e.option.find(' ');
            const auto key =
                e.option.rfind("score ", 0) == 0 ? e.option.find(' ', space + 1) : space;
            const std::string name = e.option.substr(0, key), value = e.option.substr(key + 1);
            for (const auto& [n, v] : options) {
                if (n == name && v != value) {
                    std::abort();
                }
            }
            options.emplace_back(name, value);
            OptionValue(e.option);
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
