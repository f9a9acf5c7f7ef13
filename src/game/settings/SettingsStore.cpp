#include "game/settings/SettingsStore.h"

#include "platform/SafeFile.h"

#include <filesystem>
#include <iostream>
#include <mutex>
#include <vector>

namespace Settings {

namespace {

constexpr int kLockWaitMs = 2000;

// The window's thread switches the full screen, the game's the rest.
std::mutex lock;
std::string path; // "" when the run keeps no settings
Values stored;
std::vector<std::string> notUnderstood;
bool complained = false; // a failed write is said once

bool Write(std::string& error) {
    std::error_code ec;
    const auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ec);
    }
    if (ec) {
        error = ec.message();
        return false;
    }
    // Two games may keep settings at once; under the lock, temporary files
    // are only ever those of writes that were killed.
    SafeFile::Lock held;
    if (!held.Acquire(
            path + ".lock", kLockWaitMs, [] {}, error)) {
        return false;
    }
    SafeFile::RemoveStaleTemps(path);
    SafeFile::TempFile temp;
    return temp.Create(path, nullptr, error) && temp.Write(Format(stored, notUnderstood), error) &&
           temp.Replace(error);
}

} // namespace

void Open(const std::string& file) {
    std::lock_guard guard(lock);
    path = file;
    stored = {};
    notUnderstood.clear();
    complained = false;
    std::string data, error;
    switch (SafeFile::ReadRegular(file, kMaxBytes + 1, data, error)) {
    case SafeFile::ReadResult::Missing:
        return;
    case SafeFile::ReadResult::NotRegular:
        std::cerr << "morvek: " << file
                  << " is not a regular file; the settings are the defaults\n";
        path.clear(); // never written over
        return;
    case SafeFile::ReadResult::Failed:
        std::cerr << "morvek: " << file << ": " << error << "; the settings are the defaults\n";
        path.clear();
        return;
    case SafeFile::ReadResult::Ok:
        break;
    }
    if (data.size() > kMaxBytes) {
        std::cerr << "morvek: " << file << " is longer than " << kMaxBytes
                  << " bytes; what follows is not read\n";
        data.resize(kMaxBytes);
    }
    Read read = Parse(data);
    for (const auto& p : read.problems) {
        std::cerr << "morvek: " << file << ":" << p.line << ": " << p.what
                  << "; the default is kept\n";
    }
    stored = read.values;
    notUnderstood = std::move(read.notUnderstood);
}

void Close() {
    std::lock_guard guard(lock);
    path.clear();
    stored = {};
    notUnderstood.clear();
}

Values Stored() {
    std::lock_guard guard(lock);
    return stored;
}

void Change(const std::function<void(Values&)>& change) {
    std::lock_guard guard(lock);
    Values next = stored;
    change(next);
    if (next == stored) {
        return;
    }
    stored = next;
    std::string error;
    if (!path.empty() && !Write(error) && !complained) {
        complained = true;
        std::cerr << "morvek: the settings could not be saved to " << path << ": " << error << '\n';
    }
}

} // namespace Settings
