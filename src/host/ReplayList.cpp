#include "host/ReplayList.h"

#include "game/Rules.h"
#include "host/Replays.h"
#include "platform/SafeFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <map>
#include <sstream>

namespace Program::ReplayShelf {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The option lines of a session fill a few hundred bytes.
constexpr std::size_t kHeadBytes = 16 * 1024;
// A cache larger than this is none of ours.
constexpr std::size_t kCacheBytes = 1024 * 1024;
// A replay no player's session comes near (hours of play) is scored up to here.
constexpr std::uint64_t kMaxTurns = 5'000'000;
// Turns between two looks at the clock.
constexpr int kTurnsPerLook = 32;

std::string CacheHeader() {
    return "# Morvek: the best score of each replay here, found by replaying it (rules " +
           std::to_string(Morvek::kRulesVersion) + ")";
}

template <typename Number> bool ParseNumber(std::string_view text, Number& n) {
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), n);
    return err == std::errc{} && end == text.data() + text.size();
}

// One cache line: "NAME SIZE game POINTS DIFFICULTY SPEED", "NAME SIZE nogame"
// or "NAME SIZE refused REASON".
struct Cached {
    std::uintmax_t size = 0;
    std::string kind;
    std::optional<std::uint32_t> best;
    std::string difficulty, speed, reason;
};

std::map<std::string, Cached> ReadCache(const fs::path& folder) {
    std::map<std::string, Cached> cache;
    std::string text, error;
    if (SafeFile::ReadRegular((folder / kCacheName).string(), kCacheBytes, text, error) !=
        SafeFile::ReadResult::Ok) {
        return cache;
    }
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line != CacheHeader()) {
        return cache; // another version's, or no cache at all
    }
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, size;
        Cached c;
        if (!(words >> name >> size >> c.kind) || !Replays::IsReplayName(name) ||
            !ParseNumber(size, c.size)) {
            continue;
        }
        if (c.kind == "game") {
            std::string points;
            std::uint32_t best = 0;
            if (!(words >> points >> c.difficulty >> c.speed) || !ParseNumber(points, best)) {
                continue;
            }
            c.best = best;
        } else if (c.kind == "refused") {
            std::getline(words >> std::ws, c.reason);
            if (c.reason.empty()) {
                continue;
            }
        } else if (c.kind != "nogame") {
            continue;
        }
        cache[name] = c;
    }
    return cache;
}

void Apply(const Cached& c, Entry& e) {
    e.scored = true;
    if (c.kind == "refused") {
        e.refused = c.reason;
    } else if (c.kind == "game") {
        e.best = c.best;
        e.difficulty = c.difficulty;
        e.speed = c.speed;
    }
}

Entry Read(const fs::path& folder, const std::string& name, std::uintmax_t size) {
    Entry e;
    e.name = name;
    e.size = size;
    e.when = LocalTime(name);
    std::string head, error;
    if (SafeFile::ReadRegular((folder / name).string(), kHeadBytes, head, error) !=
        SafeFile::ReadResult::Ok) {
        e.refused = "can't be read";
        return e;
    }
    ReplayStart start;
    if (!ReadStart(head, start, e.refused)) {
        return e;
    }
    e.refused = RulesRefusal(start.rules);
    e.difficulty = start.difficulty;
    e.speed = start.speed;
    return e;
}

} // namespace

std::string LocalTime(std::string_view name) {
    int y = 0;
    unsigned mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (std::sscanf(std::string(name).c_str(), "%4d-%2u-%2u_%2u-%2u-%2u", &y, &mo, &d, &h, &mi,
                    &s) != 6) {
        return std::string(name);
    }
    using namespace std::chrono;
    const sys_seconds utc =
        sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s};
    const std::time_t t = system_clock::to_time_t(utc);
    std::tm local{};
#ifdef _WIN32
    // Its own copy for each thread there.
    const std::tm* found = std::localtime(&t);
    const bool known = found != nullptr;
    if (known) {
        local = *found;
    }
#else
    const bool known = localtime_r(&t, &local) != nullptr;
#endif
    char shown[32];
    if (!known || std::strftime(shown, sizeof shown, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        return std::string(name);
    }
    return shown;
}

std::vector<Entry> List(const fs::path& folder) {
    std::vector<Entry> entries;
    const auto cache = ReadCache(folder);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code kindEc;
        // As Prune: only files named as ours, never a link.
        if (!Replays::IsReplayName(name) || it->is_symlink(kindEc) ||
            !it->is_regular_file(kindEc)) {
            continue;
        }
        const std::uintmax_t size = it->file_size(kindEc);
        Entry e = Read(folder, name, kindEc ? 0 : size);
        if (const auto found = cache.find(name);
            e.Playable() && found != cache.end() && found->second.size == e.size) {
            Apply(found->second, e);
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name > b.name; });
    return entries;
}

void SaveCache(const fs::path& folder, const std::vector<Entry>& entries) {
    std::string text = CacheHeader() + "\n";
    for (const Entry& e : entries) {
        if (!e.scored) {
            continue;
        }
        text += e.name + " " + std::to_string(e.size) + " ";
        if (!e.Playable()) {
            text += "refused " + e.refused;
        } else if (e.best) {
            text += "game " + std::to_string(*e.best) + " " + e.difficulty + " " + e.speed;
        } else {
            text += "nogame";
        }
        text += "\n";
    }
    // A folder we can't write keeps no cache: the scores are found again.
    const std::string file = (folder / kCacheName).string();
    std::string error;
    SafeFile::Status status;
    SafeFile::TempFile temp;
    if (SafeFile::Inspect(file, status, error) &&
        (status.kind == SafeFile::Kind::Regular || status.kind == SafeFile::Kind::Missing)) {
        temp.Create(file, nullptr, error) && temp.Write(text, error) && temp.Replace(error);
    }
}

Scorer::Scorer(fs::path folder) : folder_(std::move(folder)) {}
Scorer::~Scorer() = default;

bool Scorer::Left(const std::vector<Entry>& entries) {
    return std::any_of(entries.begin(), entries.end(),
                       [](const Entry& e) { return !e.scored && e.Playable(); });
}

void Scorer::Done(std::vector<Entry>& entries, Entry& entry) {
    entry.scored = true;
    game_.reset();
    SaveCache(folder_, entries);
}

bool Scorer::Work(std::vector<Entry>& entries, std::chrono::microseconds budget) {
    const auto until = Clock::now() + budget;
    bool found = false;
    while (Clock::now() < until) {
        const auto entry = std::find_if(entries.begin(), entries.end(), [this](const Entry& e) {
            return game_ ? e.name == name_ : !e.scored && e.Playable();
        });
        if (entry == entries.end()) {
            game_.reset();
            return found;
        }
        if (!game_) {
            name_ = entry->name;
            turns_ = 0;
            game_ = std::make_unique<ReplayGame>();
            std::string why;
            if (!game_->Load(folder_ / name_, why)) {
                entry->refused = why; // kept by the size listed
                Done(entries, *entry);
                found = true;
            }
            continue;
        }
        bool going = true;
        for (int i = 0; i < kTurnsPerLook && going; ++i) {
            // Settled, the rest of a headless run's wait scores nothing.
            going = game_->Turn() && !game_->Settled() && ++turns_ < kMaxTurns;
        }
        if (!going) {
            entry->best = game_->Best();
            if (entry->best) {
                entry->difficulty = game_->Difficulty();
                entry->speed = game_->Speed();
            }
            entry->size = game_->Bytes();
            Done(entries, *entry);
            found = true;
        }
    }
    return found;
}

} // namespace Program::ReplayShelf
