#include "game/screens/ScoreFile.h"

#include "display/Run.h"
#include "game/screens/ScorePlace.h"
#include "platform/SafeFile.h"

#include <algorithm>
#include <iostream>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace Morvek {

std::string scorefile = "myscore.txt";

SaveOutcome TrySaveResult(std::uint32_t tries) {
    if (Display::Run::TakeSaveFailed()) {
        return SaveOutcome::Failed; // as it did when the recording was made
    }
    ScoreFile::Table next{};
    std::string error;
    bool busy = false;
    if (!ScorePlace::Save(world.scores[kResultPlace].name, world.score, next, error, &busy)) {
        if (busy && tries == 0) {
            std::cerr << "morvek: waiting for another game to save its highscores to " << scorefile
                      << '\n';
        }
        if (busy && tries + 1 < ScoreFile::kSaveTries && !Display::Run::StopAsked()) {
            return SaveOutcome::Busy;
        }
        std::cerr << "morvek: the highscores could not be saved to " << scorefile << ": " << error
                  << '\n';
        Display::Run::TakeSignal(); // the save gave up for it: the run ends now
        Display::Run::FailAtEnd(kExitSaveFailed);
        // The game-over screen keeps its Save button after a failure: a
        // replay, whose table lives in memory, must keep it too.
        Display::Run::RecordSaveFailed();
        return SaveOutcome::Failed;
    }
    world.scores = next;
    return SaveOutcome::Saved;
}

namespace ScoreFile {

namespace {

constexpr char kCtrlZ = 0x1A;

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == kCtrlZ;
}

constexpr std::array<char, 7> kBlankName{' ', ' ', ' ', ' ', ' ', ' ', ' '};

// The table's order: the higher score first.
bool Above(const Highscore& a, const Highscore& b) {
    return a.points > b.points;
}

// The leading digits make the score, as files of the old game may carry
// leftover bytes right after the tenth one. A score too big for 32 bits
// counts as the biggest one.
bool ToUnsigned(std::string_view token, std::uint32_t& value) {
    if (token.empty() || token[0] < '0' || token[0] > '9') {
        return false;
    }
    std::uint64_t v = 0;
    for (const char c : token) {
        if (c < '0' || c > '9') {
            break;
        }
        v = std::min<std::uint64_t>(v * 10 + static_cast<unsigned>(c - '0'),
                                    std::numeric_limits<std::uint32_t>::max());
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

// Skips the line feed of a CR LF pair, so files with DOS line ends read as
// files with plain ones.
void SkipLineFeedAfterReturn(std::string_view data, std::size_t& pos) {
    if (pos < data.size() && data[pos] == '\n') {
        ++pos;
    }
}

// The game's own reading rule; it stops at the first entry it can't read.
std::uint32_t ParseStrict(std::string_view data, Table& table) {
    std::size_t pos = 0;
    std::uint32_t read = 0;
    for (std::uint32_t i = 1; i <= kPlaces; ++i) {
        table[i] = {kBlankName, 0};
    }
    for (std::uint32_t i = 1; i <= kPlaces; ++i) {
        Highscore entry{kBlankName, 0};
        std::size_t taken = 0;
        while (taken < entry.name.size() && pos < data.size()) {
            const char c = data[pos++];
            if (c == '\n' || c == kCtrlZ) {
                break;
            }
            if (c == '\r') {
                SkipLineFeedAfterReturn(data, pos);
                break;
            }
            entry.name[taken++] = c == '\0' ? ' ' : c; // as the file will have it
        }
        while (pos < data.size() && IsSeparator(data[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < data.size() && !IsSeparator(data[pos])) {
            ++pos;
        }
        const std::string_view digits = data.substr(start, pos - start);
        if (pos < data.size()) {
            if (data[pos++] == '\r') {
                SkipLineFeedAfterReturn(data, pos);
            }
        }
        if (!ToUnsigned(digits, entry.points)) {
            break; // the rest of the file is not a table
        }
        table[i] = entry;
        read = i;
    }
    return read;
}

// Every run of digits is a score and the text before it, back to the last
// score, its name: what a hand-edited or damaged file still holds.
std::uint32_t ParseLoose(std::string_view data, Table& table) {
    std::vector<Highscore> found;
    std::size_t nameStart = 0;
    for (std::size_t pos = 0; pos < data.size();) {
        if (data[pos] < '0' || data[pos] > '9') {
            ++pos;
            continue;
        }
        std::size_t nameEnd = pos;
        const bool negative = nameEnd > nameStart && data[nameEnd - 1] == '-';
        nameEnd -= negative ? 1 : 0;
        const std::size_t start = pos;
        while (pos < data.size() && data[pos] >= '0' && data[pos] <= '9') {
            ++pos;
        }
        Highscore entry{kBlankName, 0};
        if (!negative) {
            ToUnsigned(data.substr(start, pos - start), entry.points);
        }
        std::string_view name = data.substr(nameStart, nameEnd - nameStart);
        while (!name.empty() && IsSeparator(name.front())) {
            name.remove_prefix(1);
        }
        while (!name.empty() && IsSeparator(name.back())) {
            name.remove_suffix(1);
        }
        std::copy_n(name.begin(), std::min(name.size(), entry.name.size()), entry.name.begin());
        // A line break kept in a name would end it early when read again.
        std::replace_if(
            entry.name.begin(), entry.name.end(),
            [](char c) { return c == '\0' || IsSeparator(c); }, ' ');
        found.push_back(entry);
        nameStart = pos;
    }
    std::stable_sort(found.begin(), found.end(), Above);
    const auto read = static_cast<std::uint32_t>(std::min<std::size_t>(found.size(), kPlaces));
    for (std::uint32_t i = 1; i <= kPlaces; ++i) {
        table[i] = i <= read ? found[i - 1] : Highscore{kBlankName, 0};
    }
    return read;
}

} // namespace

std::uint32_t Parse(std::string_view data, Table& table) {
    const std::uint32_t strict = ParseStrict(data, table);
    if (strict == kPlaces) {
        return strict;
    }
    Table loose = table;
    const std::uint32_t repaired = ParseLoose(data, loose);
    if (repaired <= strict) {
        return strict;
    }
    for (std::uint32_t i = 1; i <= kPlaces; ++i) {
        table[i] = loose[i];
    }
    return repaired;
}

namespace {

// What follows the table in `data`, which a save keeps after the new one;
// nothing when a save can't keep `data` whole.
std::optional<std::string_view> Tail(std::string_view data, const Table& table) {
    const bool sorted = std::is_sorted(table.begin() + 1, table.begin() + 1 + kPlaces, Above);
    if (!sorted || data.size() > kMaxRead) {
        return std::nullopt;
    }
    const std::string written = Format(table);
    if (std::string_view(written).starts_with(data)) {
        return std::string_view();
    }
    if (!data.starts_with(written)) {
        return std::nullopt;
    }
    // Digits here belong to the tenth score: glued to a new one they would change it.
    const std::string_view tail = data.substr(written.size());
    if (tail.front() >= '0' && tail.front() <= '9') {
        return std::nullopt;
    }
    return tail;
}

// Reads the file when it is a regular one (missing counts as empty); says
// why not otherwise.
bool ReadData(const std::string& path, std::size_t limit, std::string& data, std::string& error,
              bool* missing = nullptr) {
    const SafeFile::ReadResult got = SafeFile::ReadRegular(path, limit, data, error);
    if (missing != nullptr) {
        *missing = got == SafeFile::ReadResult::Missing;
    }
    return got == SafeFile::ReadResult::Ok || got == SafeFile::ReadResult::Missing;
}

} // namespace

bool ReadCleanly(std::string_view data, const Table& table) {
    return Tail(data, table).has_value();
}

std::uint32_t Read(const std::string& path, Table& table) {
    std::string data;
    std::string error;
    if (!ReadData(path, kMaxRead, data, error)) {
        std::cerr << "morvek: the highscores are not read: " << error << '\n';
    }
    return Parse(data, table);
}

std::string Format(const Table& table) {
    std::string out;
    for (std::uint32_t i = 1; i <= kPlaces; ++i) {
        if (i > 1) {
            out += ' ';
        }
        // A table never read holds NUL names; the file pads names with blanks.
        for (const char c : table[i].name) {
            out += c == '\0' ? ' ' : c;
        }
        const std::string number = std::to_string(table[i].points);
        if (i > 1 && number.size() < 2) {
            out += ' ';
        }
        out += number;
    }
    return out;
}

void Insert(Table& table, std::uint32_t result) {
    std::stable_sort(table.begin() + 1, table.begin() + 1 + kPlaces, Above);
    table[11].points = result;
    std::uint32_t place = 1;
    while (place <= kPlaces && table[place].points >= result) {
        ++place;
    }
    // Everything from the new place down moves one on; the tenth leaves.
    for (std::uint32_t i = place; i <= kPlaces; ++i) {
        std::swap(table[i], table[11]);
    }
}

namespace {

std::string Backup(const std::string& real, std::string& error) {
    constexpr int kMaxBackups = 100;
    for (int n = 1; n <= kMaxBackups; ++n) {
        const std::string name = real + ".bak" + (n == 1 ? "" : "." + std::to_string(n));
        switch (SafeFile::KeepCopy(real, name, error)) {
        case SafeFile::CreateResult::Created:
            return name;
        case SafeFile::CreateResult::Failed:
            return "";
        case SafeFile::CreateResult::Exists:
            break;
        }
    }
    error = "no free name to keep the old table as " + real + ".bak";
    return "";
}

// Where the table really is, and that it is a file or nothing yet.
bool FindTarget(const std::string& path, std::string& real, SafeFile::Status& status,
                std::string& error) {
    if (!SafeFile::Resolve(path, real, error) || !SafeFile::Inspect(real, status, error)) {
        return false;
    }
    if (status.kind == SafeFile::Kind::Folder) {
        error = real + " is a folder";
        return false;
    }
    if (status.kind == SafeFile::Kind::Other) {
        error = real + " is not a regular file";
        return false;
    }
    return true;
}

} // namespace

bool CheckPath(const std::string& path, std::string& error) {
    std::string real;
    SafeFile::Status status;
    return FindTarget(path, real, status, error) && SafeFile::ProbeFolder(real, error);
}

bool Save(const std::string& path, const std::array<char, 7>& name, std::uint32_t result,
          Table& table, std::string& error, const std::string& takeIn, bool* busy) {
    std::string real;
    SafeFile::Status status;
    if (!FindTarget(path, real, status, error)) {
        return false;
    }
    if (status.kind == SafeFile::Kind::Regular && status.readOnly) {
        // Write bits that don't let us write: someone else's file.
        error = real +
                ((status.mode & 0222) == 0 ? " is read-only" : " may not be written by this user") +
                ", so it is left as it is";
        return false;
    }
    SafeFile::Lock lock;
    const auto waiting = [&] {
        std::cerr << "morvek: waiting for another game to save its highscores to " << real << '\n';
    };
    // A game that tries again later only looks.
    if (!lock.Acquire(real + ".lock", busy != nullptr ? 0 : kLockWaitMs, waiting, error,
                      Display::Run::StopAsked)) {
        if (busy != nullptr && lock.Busy()) {
            *busy = true;
            error = "another program held " + real + ".lock for " +
                    std::to_string(kLockWaitMs / 1000) + " s";
        }
        return false;
    }
    // Temporary files left now were left by saves that died holding the lock.
    SafeFile::RemoveStaleTemps(real);
    // One byte more than is parsed tells a file too long to keep whole.
    std::string data;
    bool missing = false;
    if (!ReadData(real, kMaxRead + 1, data, error, &missing)) {
        return false;
    }
    // Taken in under the lock, so that another game's first save can't come between.
    bool takenIn = false;
    if (missing && !takeIn.empty()) {
        bool none = false;
        if (!ReadData(takeIn, kMaxRead + 1, data, error, &none)) {
            return false;
        }
        takenIn = !none;
    }
    table = {};
    Parse(std::string_view(data).substr(0, kMaxRead), table);
    const std::optional<std::string_view> tail = Tail(data, table);
    table[11] = {name, 0};
    Insert(table, result);
    std::string text = Format(table);
    // A tail that would take the file past what a save reads goes to the backup.
    const bool whole = tail && (tail->empty() || text.size() + tail->size() <= kMaxRead);
    if (whole) {
        text += *tail;
    } else if (!takenIn) { // the file taken in stays as it is
        const std::string kept = Backup(real, error);
        if (kept.empty()) {
            return false;
        }
        std::cerr << "morvek: " << real << " did not read cleanly; the old file is kept as " << kept
                  << '\n';
    }
    SafeFile::TempFile temp;
    if (!temp.Create(real, status.kind == SafeFile::Kind::Regular ? &status : nullptr, error) ||
        !temp.Write(text, error) || !temp.Replace(error)) {
        return false;
    }
    if (takenIn) {
        std::cerr << "morvek: the highscores of " << takeIn << " are kept in " << path
                  << " from now on\n";
    }
    return true;
}

std::string Shown(const std::array<char, 7>& name) {
    std::string shown(name.begin(), name.end());
    for (char& c : shown) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E) {
            c = '?';
        }
    }
    return shown;
}

} // namespace ScoreFile
} // namespace Morvek
