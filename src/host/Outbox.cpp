#include "host/Outbox.h"

#include "host/Replays.h"
#include "util/Quote.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <system_error>

namespace Program::Leaderboard {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxEntryFile = 16 * 1024;
constexpr std::size_t kMaxValue = 200;
// What a killed game left half made is cleared once it is this old, so a
// game in the middle of making it never loses it.
constexpr auto kAbandoned = std::chrono::minutes(10);
constexpr std::string_view kSent = "sent";
constexpr std::string_view kLock = "send.lock";

constexpr std::array<std::string_view, 4> kStageNames = {"new", "pending", "accepted", "refused"};

std::string OneLine(std::string_view text) {
    return Text::Printable(text, kMaxValue);
}

template <typename T> bool Number(std::string_view text, T& out) {
    const auto [end, err] = std::from_chars(text.data(), text.data() + text.size(), out);
    return err == std::errc() && end == text.data() + text.size() && !text.empty();
}

// "ID.run" and "ID.txt" of an entry; ID as a replay's name has it.
std::optional<std::string> IdOf(const std::string& file, std::string_view suffix) {
    if (!file.ends_with(suffix)) {
        return std::nullopt;
    }
    std::string id = file.substr(0, file.size() - suffix.size());
    if (!Replays::IsReplayName(id + ".txt")) {
        return std::nullopt;
    }
    return id;
}

// A new run is synced: it is all there is of the game. Later states are
// written as the sender learns them, while a frame waits, and left to the
// system: one lost to a power cut costs a second sending, which the server
// answers as the same run.
using Sync = SafeFile::TempFile::Sync;
bool WriteWhole(const fs::path& file, const std::string& text, std::string& why,
                Sync sync = Sync::Later) {
    SafeFile::TempFile temp;
    return temp.Create(file.string(), nullptr, why) && temp.Write(text, why) &&
           temp.Replace(why, sync);
}

std::optional<Entry> ReadFile(const fs::path& file) {
    std::string text, why;
    if (SafeFile::ReadRegular(file.string(), kMaxEntryFile + 1, text, why) !=
            SafeFile::ReadResult::Ok ||
        text.size() > kMaxEntryFile) {
        return std::nullopt;
    }
    return ReadEntry(text);
}

bool Abandoned(const fs::directory_entry& file) {
    std::error_code ec;
    const auto when = file.last_write_time(ec);
    return !ec && fs::file_time_type::clock::now() - when > kAbandoned;
}

} // namespace

std::string EntryText(const Entry& e) {
    std::string text = "# A run for the leaderboard: what the game claims and what the server "
                       "said of it.\n";
    const auto line = [&text](std::string_view key, const std::string& value) {
        text += std::string(key) + " = " + OneLine(value) + "\n";
    };
    line("id", e.id);
    line("name", e.name);
    line("game", std::to_string(e.game));
    line("score", std::to_string(e.score));
    line("stage", std::string(kStageNames[static_cast<std::size_t>(e.stage)]));
    if (e.run > 0) {
        line("run", std::to_string(e.run));
    }
    if (e.place > 0) {
        line("place", std::to_string(e.place));
    }
    if (!e.board.empty()) {
        line("board", e.board);
    }
    if (e.stage == Stage::Refused) {
        line("code", e.code);
        line("reason", e.reason);
    }
    return text;
}

std::optional<Entry> ReadEntry(std::string_view text) {
    Entry e;
    bool game = false, score = false, stage = false;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        const auto eq = line.find(" = ");
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos) {
            continue;
        }
        const std::string_view key = line.substr(0, eq), value = line.substr(eq + 3);
        if (key == "id") {
            e.id = OneLine(value);
        } else if (key == "name") {
            e.name = OneLine(value);
        } else if (key == "game") {
            game = Number(value, e.game) && e.game > 0;
        } else if (key == "score") {
            score = Number(value, e.score);
        } else if (key == "stage") {
            const auto it = std::find(kStageNames.begin(), kStageNames.end(), value);
            stage = it != kStageNames.end();
            e.stage = static_cast<Stage>(it - kStageNames.begin());
        } else if (key == "run" && !Number(value, e.run)) {
            return std::nullopt;
        } else if (key == "place" && !Number(value, e.place)) {
            return std::nullopt;
        } else if (key == "board") {
            e.board = OneLine(value);
        } else if (key == "code") {
            e.code = OneLine(value);
        } else if (key == "reason") {
            e.reason = OneLine(value);
        }
    }
    // A pending run without its number could never be asked after
    if (!game || !score || !stage || (e.stage == Stage::Pending && e.run <= 0)) {
        return std::nullopt;
    }
    return e;
}

Outbox::Outbox(fs::path dataFolder) : folder_(std::move(dataFolder) / kOutboxFolder) {}

std::optional<Entry> Outbox::Add(const fs::path& recording, std::uint32_t game, std::int64_t score,
                                 std::string_view name, std::string& why) {
    std::string data;
    if (const auto read = SafeFile::ReadRegular(recording.string(), kMaxRecording + 1, data, why);
        read != SafeFile::ReadResult::Ok) {
        why = "the session's recording can't be read: " +
              (read == SafeFile::ReadResult::Missing ? recording.string() + " is not there" : why);
        return std::nullopt;
    }
    const bool tooLarge = data.size() > kMaxRecording;
    // The session file grows as it is played: a line half written is not sent
    const auto lastLine = data.find_last_of('\n');
    data.resize(tooLarge || lastLine == std::string::npos ? 0 : lastLine + 1);

    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        why = "can't make " + folder_.string() + ": " + ec.message();
        return std::nullopt;
    }
    // Named as a replay is, for when it was made: the names sort so, and the
    // exclusive creation of its recording makes the name ours
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    Entry e;
    for (unsigned n = 0; n < Replays::kPerSecond && e.id.empty(); ++n) {
        const std::string file = Replays::NameFor(now, n);
        switch (SafeFile::CreateNew((folder_ / file).string(), data, nullptr, why)) {
        case SafeFile::CreateResult::Created:
            e.id = file.substr(0, file.size() - 4);
            break;
        case SafeFile::CreateResult::Exists:
            continue;
        case SafeFile::CreateResult::Failed:
            return std::nullopt;
        }
    }
    if (e.id.empty()) {
        why = "every name of this second is taken in " + folder_.string();
        return std::nullopt;
    }
    e.name = OneLine(name);
    e.game = game;
    e.score = score;
    if (tooLarge) {
        e.stage = Stage::Refused;
        e.code = "too-large";
        e.reason = "the session's recording is over 4 MiB, more than a leaderboard takes";
    }
    if (!WriteWhole(folder_ / (e.id + ".run"), EntryText(e), why, Sync::Now) ||
        (tooLarge && !Finish(e, why))) {
        fs::remove(folder_ / (e.id + ".txt"), ec);
        return std::nullopt;
    }
    return e;
}

std::vector<Entry> Outbox::List() const {
    std::vector<Entry> entries;
    std::vector<std::string> recordings, claims;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kindEc;
        if (!it->is_regular_file(kindEc) || it->is_symlink(kindEc)) {
            continue;
        }
        const std::string file = it->path().filename().string();
        if (const auto id = IdOf(file, ".run")) {
            claims.push_back(*id);
            if (auto e = ReadFile(it->path())) {
                e->id = *id;
                entries.push_back(std::move(*e));
            }
        } else if (const auto made = IdOf(file, ".txt")) {
            recordings.push_back(*made);
        } else if (const auto dot = file.find(".run.tmp-");
                   dot != std::string::npos && IdOf(file.substr(0, dot) + ".run", ".run") &&
                   Abandoned(*it)) {
            fs::remove(it->path(), kindEc); // a write a killed game left
        }
    }
    // A recording without its claim is an entry a killed game left half made
    for (const std::string& id : recordings) {
        if (std::find(claims.begin(), claims.end(), id) == claims.end() &&
            Abandoned(fs::directory_entry(folder_ / (id + ".txt"), ec))) {
            fs::remove(folder_ / (id + ".txt"), ec);
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.id < b.id; });
    return entries;
}

std::optional<Entry> Outbox::Find(const std::string& id) const {
    auto e = ReadFile(folder_ / (id + ".run"));
    if (e) {
        e->id = id;
    }
    return e;
}

bool Outbox::Save(const Entry& entry, std::string& why) {
    return WriteWhole(folder_ / (entry.id + ".run"), EntryText(entry), why);
}

std::optional<std::string> Outbox::Recording(const std::string& id, std::string& why) const {
    std::string data;
    if (SafeFile::ReadRegular((folder_ / (id + ".txt")).string(), kMaxRecording + 1, data, why) !=
        SafeFile::ReadResult::Ok) {
        return std::nullopt;
    }
    return data;
}

bool Outbox::Finish(const Entry& entry, std::string& why) {
    // The record first: a game killed in between sends nothing twice, as the
    // server knows a run it has
    if (!WriteWhole(folder_ / kSent, EntryText(entry), why)) {
        return false;
    }
    std::error_code ec;
    if (entry.stage == Stage::Accepted) {
        fs::remove(folder_ / (entry.id + ".run"), ec);
    } else if (!Save(entry, why)) {
        return false;
    }
    fs::remove(folder_ / (entry.id + ".txt"), ec);
    std::vector<Entry> refused = List();
    std::erase_if(refused, [](const Entry& e) { return e.stage != Stage::Refused; });
    for (std::size_t i = 0; i + kRefusedKept < refused.size(); ++i) {
        fs::remove(folder_ / (refused[i].id + ".run"), ec);
    }
    return true;
}

std::optional<Entry> Outbox::LastSent() const {
    return ReadFile(folder_ / kSent);
}

bool Outbox::TryLock(SafeFile::Lock& lock, std::string& why) const {
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        why = "can't make " + folder_.string() + ": " + ec.message();
        return false;
    }
    return lock.Acquire((folder_ / kLock).string(), 0, {}, why);
}

} // namespace Program::Leaderboard
