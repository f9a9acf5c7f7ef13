#include "game/settings/SettingsStore.h"

#include "platform/SafeFile.h"
#include "platform/System.h"

#include <filesystem>
#include <iostream>

namespace Settings {

namespace {

// Only the program's end may wait on another game's lock; in play a write
// that finds the file locked tries again after the next step.
constexpr int kLockWaitAtEndMs = 2000;

std::string path; // "" when the run keeps no settings
Values stored;
// What this run last read from or wrote to the file: what `stored` differs
// in are this run's own changes, the only ones it may write.
Values written;
bool complained = false; // a failed write is said once
bool pending = false;    // a change waits for another game to let go of the file
std::string leaderboard; // --leaderboard, "" when not given

// The whole file, "" when there is none; a file longer than any settings
// file of ours is refused rather than cut short.
bool ReadWhole(const std::string& file, std::string& data, std::string& error) {
    switch (SafeFile::ReadRegular(file, kMaxBytes + 1, data, error)) {
    case SafeFile::ReadResult::Missing:
    case SafeFile::ReadResult::Ok:
        break;
    case SafeFile::ReadResult::NotRegular:
    case SafeFile::ReadResult::Failed:
        return false;
    }
    if (data.size() > kMaxBytes) {
        error = file + " is longer than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    return true;
}

// Temporary files are made only under the lock, so one found while we hold
// it was left by a write that was killed. Without a lock file no write ever
// ran, and starting makes none.
void RemoveStaleTemps(const std::string& file) {
    std::string real, error;
    std::error_code ec;
    if (!SafeFile::Resolve(file, real, error) || !std::filesystem::exists(real + ".lock", ec)) {
        return;
    }
    SafeFile::Lock held;
    if (held.Acquire(real + ".lock", 0, {}, error)) {
        SafeFile::RemoveStaleTemps(real);
    }
}

// As the highscore table is saved: through a link to its target, with the
// file's own permissions, never over a read-only file, and under a lock
// with the file read again, so that another game's changes stay. A lock held
// elsewhere throughout `waitMs` sets `busy`.
bool Write(int waitMs, bool& busy, std::string& error) {
    busy = false;
    std::string real;
    SafeFile::Status status;
    if (!SafeFile::SaveTarget(path, real, status, error)) {
        return false;
    }
    if (status.kind == SafeFile::Kind::Regular && status.readOnly) {
        error = real + " is read-only, so it is left as it is";
        return false;
    }
    std::error_code ec;
    const auto folder = System::PathOf(real).parent_path(); // UTF-8, as on mingw too
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ec);
    }
    if (ec) {
        error = ec.message();
        return false;
    }
    SafeFile::Lock held;
    if (!held.Acquire(real + ".lock", waitMs, {}, error)) {
        busy = held.Busy();
        return false;
    }
    SafeFile::RemoveStaleTemps(real);
    std::string now;
    if (!ReadWhole(real, now, error)) {
        return false;
    }
    // The new file keeps the old one's permissions, and its owner where we may.
    const SafeFile::Status* like = status.kind == SafeFile::Kind::Regular ? &status : nullptr;
    SafeFile::TempFile temp;
    return temp.Create(real, like, error) && temp.Write(Update(now, written, stored), error) &&
           temp.Replace(error);
}

// Tries once (waitMs 0) or waits for the lock; a lock still held elsewhere
// after one try leaves the change pending for Retry.
void TryWrite(int waitMs) {
    std::string error;
    bool busy = false;
    if (Write(waitMs, busy, error)) {
        written = stored;
        pending = false;
        return;
    }
    pending = busy && waitMs == 0;
    if (!pending && !complained) {
        complained = true;
        std::cerr << "morvek: the settings could not be saved to " << path << ": " << error << '\n';
    }
}

} // namespace

void Open(const std::string& file) {
    path = file;
    stored = written = {};
    complained = false;
    pending = false;
    RemoveStaleTemps(file);
    std::string data, error;
    if (!ReadWhole(file, data, error)) {
        std::cerr << "morvek: " << error << "; the settings are the defaults and the file is left"
                  << " as it is\n";
        path.clear(); // never written over
        return;
    }
    const Read read = Parse(data);
    for (const auto& p : read.problems) {
        std::cerr << "morvek: " << file << ":" << p.line << ": " << p.what
                  << "; the default is kept\n";
    }
    stored = written = read.values;
}

void Close() {
    path.clear();
    stored = written = {};
    pending = false;
}

Values Stored() {
    return stored;
}

void Change(const std::function<void(Values&)>& change) {
    Values next = stored;
    change(next);
    if (next == stored) {
        return;
    }
    stored = next;
    if (!path.empty()) {
        TryWrite(0);
    }
}

void Exchange(Kept& other) {
    std::swap(path, other.path);
    std::swap(stored, other.stored);
    std::swap(written, other.written);
    std::swap(complained, other.complained);
    std::swap(pending, other.pending);
}

void UseLeaderboard(const std::string& address) {
    leaderboard = address;
}

std::string Leaderboard() {
    return leaderboard.empty() ? stored.leaderboard : leaderboard;
}

bool Pending() {
    return pending;
}

void Retry() {
    if (pending && !path.empty()) {
        TryWrite(0);
    }
}

void Flush() {
    if (pending && !path.empty()) {
        TryWrite(kLockWaitAtEndMs);
    }
}

} // namespace Settings
