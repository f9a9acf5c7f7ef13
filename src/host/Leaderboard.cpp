#include "host/Leaderboard.h"

#include "game/Rules.h"
#include "util/Json.h"
#include "util/Quote.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace Program::Leaderboard {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Another game holds the outbox: it is looked at again this soon.
constexpr milliseconds kLockedWait{1'000};
// A Retry-After beyond this is no server's meaning: an hour is waited at most.
constexpr long kMostRetryAfter = 3600;
constexpr std::size_t kBoardRows = 10;
constexpr std::size_t kLineShown = 160;
constexpr std::size_t kNameShown = 16;

// A 4xx other than 408 and 429: the same request would be refused again.
bool Final(int status) {
    return status >= 400 && status < 500 && status != 408 && status != 429;
}

// Why an answer is none to go by; empty when it is one.
std::string Failure(const Http::Response& r) {
    if (!r.error.empty()) {
        return Text::Printable(r.error, kLineShown);
    }
    if (r.status < 200 || r.status == 408 || r.status == 429 || r.status >= 500) {
        return "it answered HTTP " + std::to_string(r.status);
    }
    return "";
}

std::optional<std::string> Field(const Util::Json::Value& v, std::string_view key) {
    const auto* f = v.Find(key);
    return f != nullptr ? f->String() : std::nullopt;
}

std::optional<std::int64_t> Whole(const Util::Json::Value& v, std::string_view key) {
    const auto* f = v.Find(key);
    return f != nullptr ? f->Integer() : std::nullopt;
}

RunState StateOf(const Entry& e, bool named) {
    switch (e.stage) {
    case Stage::New:
        return e.name.empty() && !named ? RunState::NoName : RunState::Waiting;
    case Stage::Pending:
        return RunState::Verifying;
    case Stage::Accepted:
        return RunState::Placed;
    case Stage::Refused:
        return RunState::Refused;
    }
    return RunState::None;
}

bool BoardWord(std::string_view word) {
    return !word.empty() && word.size() <= 16 &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

} // namespace

std::string UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

Sender::Sender(std::string address, std::filesystem::path dataFolder, std::string playerName,
               Timing timing)
    : address_(std::move(address)), outbox_(std::move(dataFolder)),
      playerName_(std::move(playerName)), timing_(timing), delay_(timing.firstRetry) {
    while (!address_.empty() && address_.back() == '/') {
        address_.pop_back();
    }
    Scan();
}

Sender::~Sender() = default;

void Sender::GameEnded(const std::filesystem::path& recording, std::uint32_t game,
                       std::int64_t score) {
    if (address_.empty()) {
        return;
    }
    std::string why;
    if (!outbox_.Add(recording, game, score, playerName_, why)) {
        OutboxTrouble(why);
        Refresh();
        return;
    }
    outboxTrouble_.clear();
    Scan();
}

void Sender::SetPlayerName(std::string name) {
    playerName_ = std::move(name);
    Refresh();
}

void Sender::Pump() {
    for (const Http::Finished& f : boards_.Take()) {
        boardCalling_ = false;
        if (!std::exchange(boardAgain_, false)) {
            BoardAnswered(f.response);
        }
    }
    if (boardAgain_ && !boardCalling_) {
        boardAgain_ = false;
        StartBoard();
    }
    for (const Http::Finished& f : sends_.Take()) {
        Answered(f.response);
    }
    if (address_.empty() || call_ != Call::None) {
        return;
    }
    const auto now = Clock::now();
    if (now < quietUntil_) {
        return;
    }
    if (scan_ || now >= nextScan_) {
        Scan();
    }
    if (const auto due = NextDue(now)) {
        Begin(*due, now);
    }
}

void Sender::Scan() {
    entries_ = outbox_.List();
    sent_ = outbox_.LastSent();
    std::erase_if(polls_, [this](const Poll& p) {
        return std::none_of(entries_.begin(), entries_.end(),
                            [&p](const Entry& e) { return e.id == p.id; });
    });
    scan_ = false;
    nextScan_ = Clock::now() + timing_.rescan;
    Refresh();
}

std::optional<Entry> Sender::NextDue(Clock::time_point now) const {
    for (const Entry& e : entries_) {
        if (e.stage == Stage::New && (!e.name.empty() || !playerName_.empty())) {
            return e;
        }
        if (e.stage == Stage::Pending) {
            const auto p = std::find_if(polls_.begin(), polls_.end(),
                                        [&e](const Poll& p) { return p.id == e.id; });
            if (p == polls_.end() || p->at <= now) {
                return e;
            }
        }
    }
    return std::nullopt;
}

void Sender::Begin(const Entry& due, Clock::time_point now) {
    std::string why;
    lock_.emplace();
    if (!outbox_.TryLock(*lock_, why)) {
        const bool busy = lock_->Busy();
        lock_.reset();
        if (!busy) {
            OutboxTrouble(why);
            Refresh();
        }
        quietUntil_ = now + (busy ? kLockedWait : delay_);
        return;
    }
    // Another game may have sent it meanwhile: what the file says now counts
    const auto fresh = outbox_.Find(due.id);
    if (!fresh || fresh->stage != due.stage) {
        lock_.reset();
        scan_ = true;
        return;
    }
    sending_ = *fresh;
    Http::Request request;
    request.timeoutSeconds = timing_.requestSeconds;
    if (sending_.stage == Stage::Pending) {
        request.url = address_ + "/api/v1/runs/" + std::to_string(sending_.run);
        call_ = Call::Ask;
        sends_.Start(std::move(request));
        return;
    }
    if (sending_.name.empty()) {
        sending_.name = playerName_;
    }
    auto recording = outbox_.Recording(sending_.id, why);
    if (!recording) {
        sending_.stage = Stage::Refused;
        sending_.code = "lost";
        sending_.reason = "its recording is gone from the outbox";
        Keep(sending_);
        lock_.reset();
        Scan();
        return;
    }
    request.method = "POST";
    request.url = address_ + "/api/v1/runs?name=" + UrlEncode(sending_.name) +
                  "&game=" + std::to_string(sending_.game) +
                  "&score=" + std::to_string(sending_.score);
    request.contentType = "text/plain";
    request.body = std::move(*recording);
    call_ = Call::Send;
    sends_.Start(std::move(request));
}

void Sender::Answered(const Http::Response& response) {
    if (call_ == Call::None) {
        return;
    }
    call_ = Call::None;
    if (const std::string why = Failure(response); !why.empty()) {
        Retry(why, response.retryAfter);
    } else {
        Settled(response);
    }
    lock_.reset();
    Scan();
}

// A whole answer of the server's: the run's news, or its refusal.
void Sender::Settled(const Http::Response& response) {
    const auto json = Util::Json::Parse(response.body);
    Entry& e = sending_;
    if (Final(response.status)) {
        e.stage = Stage::Refused;
        e.code = json ? Field(*json, "error").value_or("") : "";
        e.reason = json ? Field(*json, "reason").value_or("") : "";
        if (e.code.empty()) {
            e.code = "http-" + std::to_string(response.status);
        }
        if (e.reason.empty()) {
            e.reason = "the leaderboard refused it (HTTP " + std::to_string(response.status) + ")";
        }
    } else {
        // 202 {"run", "status": "pending"}, or the run's whole JSON
        const auto status = json ? Field(*json, "status") : std::nullopt;
        const std::int64_t run = json ? Whole(*json, "run").value_or(0) : 0;
        if (!status || (e.stage == Stage::New && run <= 0) ||
            (*status != "pending" && *status != "accepted" && *status != "refused")) {
            Retry("its answer could not be read", -1);
            return;
        }
        if (run > 0) {
            e.run = run;
        }
        if (*status == "pending") {
            e.stage = Stage::Pending;
        } else if (*status == "accepted") {
            e.stage = Stage::Accepted;
            e.place = Whole(*json, "place").value_or(0);
            e.board = Field(*json, "board").value_or("");
        } else {
            e.stage = Stage::Refused;
            e.code = Field(*json, "code").value_or("refused");
            e.reason = Field(*json, "reason").value_or("the leaderboard refused it");
        }
    }
    // The server answered: whatever failed before is over
    delay_ = timing_.firstRetry;
    serverTrouble_.clear();
    Keep(e);
}

// Writes down what became of the entry, and when to ask again.
void Sender::Keep(const Entry& e) {
    std::string why;
    const bool done = e.stage == Stage::Accepted || e.stage == Stage::Refused;
    if (!(done ? outbox_.Finish(e, why) : outbox_.Save(e, why))) {
        OutboxTrouble(why);
    }
    const auto p =
        std::find_if(polls_.begin(), polls_.end(), [&e](const Poll& p) { return p.id == e.id; });
    if (done || e.stage != Stage::Pending) {
        if (p != polls_.end()) {
            polls_.erase(p);
        }
        return;
    }
    if (p == polls_.end()) {
        polls_.push_back({e.id, Clock::now() + timing_.firstPoll, timing_.firstPoll});
        return;
    }
    p->every = std::min(timing_.lastPoll, p->every * 3 / 2);
    p->at = Clock::now() + p->every;
}

void Sender::Retry(const std::string& why, long retryAfter) {
    const milliseconds wait =
        retryAfter >= 0 ? milliseconds(1000 * std::min(retryAfter, kMostRetryAfter)) : delay_;
    quietUntil_ = Clock::now() + wait;
    delay_ = std::min(timing_.lastRetry, delay_ * 2);
    const bool first = serverTrouble_.empty();
    serverTrouble_ = "the leaderboard can't be reached: " + why;
    if (first) {
        std::cerr << "morvek: " << serverTrouble_
                  << "; the runs wait in the outbox and are sent later\n";
    }
}

void Sender::OutboxTrouble(const std::string& why) {
    const bool first = outboxTrouble_.empty();
    outboxTrouble_ = "runs can't be kept for the leaderboard: " + Text::Printable(why, kLineShown);
    if (first) {
        std::cerr << "morvek: " << outboxTrouble_ << "; the game goes on\n";
    }
}

void Sender::Refresh() {
    Status s;
    const Entry* last = entries_.empty() ? nullptr : &entries_.back();
    if (sent_ && (last == nullptr || sent_->id > last->id)) {
        last = &*sent_;
    }
    if (last != nullptr) {
        s.last.state = StateOf(*last, !playerName_.empty());
        s.last.game = last->game;
        s.last.score = last->score;
        s.last.place = last->place;
        s.last.board = last->board;
        s.last.reason = last->reason;
    }
    s.waiting = static_cast<std::size_t>(
        std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) {
            return e.stage == Stage::New || e.stage == Stage::Pending;
        }));
    s.trouble = address_.empty()          ? "no leaderboard is set (leaderboard in settings.ini)"
                : !outboxTrouble_.empty() ? outboxTrouble_
                                          : serverTrouble_;
    status_ = std::move(s);
}

void Sender::RequestBoard(std::string_view difficulty, std::string_view speed) {
    if (board_.difficulty != difficulty || board_.speed != speed) {
        board_.rows.clear();
    }
    board_.difficulty = difficulty;
    board_.speed = speed;
    board_.message.clear();
    board_.state = BoardState::Loading;
    if (address_.empty() || !BoardWord(difficulty) || !BoardWord(speed)) {
        board_.state = BoardState::Unreachable;
        board_.message = address_.empty() ? "no leaderboard is set" : "there is no such board";
        return;
    }
    if (boardCalling_) {
        boardAgain_ = true; // the answer under way is for what was asked before
        return;
    }
    StartBoard();
}

void Sender::StartBoard() {
    Http::Request request;
    request.timeoutSeconds = timing_.requestSeconds;
    request.url = address_ + "/api/v1/boards/" + board_.difficulty + "-" + board_.speed +
                  "?limit=" + std::to_string(kBoardRows) +
                  "&rules=" + std::to_string(Morvek::kRulesVersion);
    boards_.Start(std::move(request));
    boardCalling_ = true;
}

void Sender::BoardAnswered(const Http::Response& response) {
    std::string why = Failure(response);
    const auto json = Util::Json::Parse(response.body);
    const auto* entries =
        json && json->Find("entries") ? json->Find("entries")->AsArray() : nullptr;
    if (why.empty() && Final(response.status)) {
        why = "it answered HTTP " + std::to_string(response.status);
    } else if (why.empty() && entries == nullptr) {
        why = "its answer could not be read";
    }
    if (!why.empty()) {
        board_.state = BoardState::Unreachable;
        board_.message = "the leaderboard can't be reached: " + why;
        return;
    }
    board_.rows.clear();
    for (const auto& row : *entries) {
        const auto place = Whole(row, "place"), score = Whole(row, "score");
        const auto name = Field(row, "name");
        if (!place || !score || !name || board_.rows.size() == kBoardRows) {
            continue;
        }
        const auto* won = row.Find("won");
        board_.rows.push_back({*place, Text::Printable(*name, kNameShown), *score,
                               won != nullptr && won->Bool().value_or(false),
                               Text::Printable(Field(row, "date").value_or(""), 32)});
    }
    board_.state = BoardState::Shown;
}

} // namespace Program::Leaderboard
