#include "host/Replays.h"

#include "display/Run.h"
#include "game/RunSettings.h"
#include "platform/SafeFile.h"
#include "util/Quote.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <system_error>
#include <vector>

namespace Program::Replays {

namespace {

namespace fs = std::filesystem;
namespace chrono = std::chrono;

// 'D' a digit, anything else itself.
constexpr std::string_view kPattern = "DDDD-DD-DD_DD-DD-DD_DD.txt";

} // namespace

std::string NameFor(chrono::sys_seconds start, unsigned number) {
    const auto day = chrono::floor<chrono::days>(start);
    const chrono::year_month_day date{day};
    const auto second = static_cast<long>((start - day).count()); // of the day
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02u-%02u_%02ld-%02ld-%02ld_%02u.txt",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), second / 3600, second / 60 % 60, second % 60,
                  number % kPerSecond);
    return name;
}

bool IsReplayName(std::string_view name) {
    if (name.size() != kPattern.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool digit = name[i] >= '0' && name[i] <= '9';
        if (kPattern[i] == 'D' ? !digit : name[i] != kPattern[i]) {
            return false;
        }
    }
    return true;
}

bool Create(const fs::path& folder, chrono::sys_seconds start, fs::path& made, std::string& why) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        why = ec.message();
        return false;
    }
    for (unsigned number = 0; number < kPerSecond; ++number) {
        const fs::path file = folder / NameFor(start, number);
        switch (SafeFile::CreateNew(file.string(), "", nullptr, why)) {
        case SafeFile::CreateResult::Created:
            made = file;
            return true;
        case SafeFile::CreateResult::Exists:
            continue;
        case SafeFile::CreateResult::Failed:
            return false;
        }
    }
    why = "every name of this second is taken";
    return false;
}

std::size_t Prune(const fs::path& folder, std::uint32_t keep, const fs::path& current) {
    std::vector<std::string> ours;
    std::error_code ec;
    const std::string mine = current.filename().string();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kindEc;
        // A link named like ours is still not ours to remove.
        if (name != mine && IsReplayName(name) && it->is_regular_file(kindEc) &&
            !it->is_symlink(kindEc)) {
            ours.push_back(name);
        }
    }
    const std::size_t others = keep > 0 ? keep - 1 : 0; // the current one counts
    if (ours.size() <= others) {
        return 0;
    }
    std::sort(ours.begin(), ours.end());
    std::size_t removed = 0;
    for (std::size_t i = 0; i < ours.size() - others; ++i) {
        removed += fs::remove(folder / ours[i], ec) ? 1 : 0;
    }
    return removed;
}

fs::path Start(const fs::path& folder, std::uint32_t keep, chrono::sys_seconds start) {
    fs::path made;
    std::string why;
    if (keep == 0) {
        return made;
    }
    if (!Create(folder, start, made, why) || !Display::Run::SetReplay(made.string(), why)) {
        std::cerr << "morvek: this session is not kept as a replay in "
                  << Text::Quote(folder.string(), Text::kPathShown) << ": "
                  << Text::Printable(why, Text::kPathShown) << "; the game goes on\n";
        std::error_code ignored;
        if (!made.empty()) {
            fs::remove(made, ignored); // made, but never to be written
        }
        return {};
    }
    Settings::RecordStart();
    Prune(folder, keep, made);
    return made;
}

} // namespace Program::Replays
