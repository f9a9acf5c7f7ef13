#include "host/Online.h"

#include "display/Host.h"
#include "display/KeyCodes.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/screens/OnlineBoard.h"
#include "game/settings/Online.h"
#include "game/settings/SettingsStore.h"
#include "host/GameCourse.h"
#include "host/Leaderboard.h"
#include "host/Loop.h"
#include "host/PageOnline.h"
#include "host/ReplayShelf.h"

#include <cctype>
#include <chrono>
#include <iostream>
#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace Program::Online {

namespace {

struct Session {
    Setup setup;
    std::unique_ptr<Leaderboard::Sender> sender;
    GameTally tally;
    bool askName = false; // a run waits for a name: ask at the next screen
    std::string board;    // the board the screen shows
    Leaderboard::RunState askedAt = Leaderboard::RunState::None; // the last run's, when asked
    std::chrono::steady_clock::time_point requested{};
    Morvek::OnlineBoard shown;
    std::string none; // the board's line without a leaderboard, "" for the game's own
};

constexpr std::chrono::seconds kBoardFresh{30};

Session& Now() {
    static Session session;
    return session;
}

// The host's own screens need a window the player is at: never in a run
// that a script, the autopilot or a watch drives, nor headless.
bool PlayerAtWindow() {
    return Display::Host::Running() && !Display::Run::Headless() && Display::Run::WindowOpen() &&
           !Display::Run::ScriptPlaying() && !AutopilotPlaying();
}

void KeepName(const std::string& name) {
    Session& s = Now();
    s.setup.playerName = name;
    Settings::Change([&name](Settings::Values& v) { v.playerName = name; });
    if (s.sender) {
        s.sender->SetPlayerName(name);
    }
}

#ifdef __EMSCRIPTEN__
// The page asks in its own HTML, beside the canvas, while the game goes on:
// a loop waiting here would hold the page's one thread.
void AskName() {
    if (PlayerAtWindow()) {
        PageOnline::AskName(Now().setup.playerName);
    }
}

void OpenReplays(const std::filesystem::path&) {
    if (PlayerAtWindow()) {
        PageOnline::ShowReplays();
    }
}
#else
// A name is letters only, as the leaderboard takes it.
char Letter(std::uint32_t code) {
    return code >= 'A' && code <= 'Z' ? static_cast<char>(code) : '\0';
}

std::string Band(const std::string& typed, const std::string& why) {
    return "ONLINE NAME: " + typed + "_   Return keeps it, Escape leaves it" +
           (why.empty() ? "" : "  (" + why + ")");
}

// The name the leaderboard shows, typed over a band across the window.
void AskName() {
    Session& s = Now();
    if (!PlayerAtWindow()) {
        return;
    }
    std::string typed = s.setup.playerName, why;
    bool done = false, keep = false, changed = false;
    const auto taken = [&](const Display::Host::Taken& t) {
        using Kind = Display::Host::Taken::Kind;
        if (t.kind == Kind::Close) {
            done = true;
        }
        if (t.kind != Kind::Key) {
            return;
        }
        changed = true;
        if (t.code == Display::KeyCode::kEscape) {
            done = true;
        } else if (t.code == Display::KeyCode::kReturn) {
            keep = Settings::Online::CheckName(typed, why);
            done = keep;
        } else if (t.code == Display::KeyCode::kBackspace && !typed.empty()) {
            typed.pop_back();
        } else if (const char c = Letter(t.code);
                   c != '\0' && typed.size() < Settings::Online::kMaxName) {
            typed += c;
        }
    };
    Display::Host::Claim(taken, Band(typed, why));
    while (!done && !Display::Run::EndAsked()) {
        Display::Host::Present();
        Display::Host::Serve(100, [&] { return done || changed || Display::Run::EndAsked(); });
        if (changed && !done) {
            changed = false;
            Display::Host::Claim(taken, Band(typed, why));
        }
    }
    Display::Host::Unclaim();
    Display::Host::Present();
    if (keep) {
        KeepName(typed);
    }
}

void OpenReplays(const std::filesystem::path& folder) {
    ReplayShelf::Open(folder);
}
#endif

std::string Ordinal(std::int64_t n) {
    const char* suffix = (n % 100 >= 11 && n % 100 <= 13) ? "th"
                         : n % 10 == 1                    ? "st"
                         : n % 10 == 2                    ? "nd"
                         : n % 10 == 3                    ? "rd"
                                                          : "th";
    return std::to_string(n) + suffix;
}

std::string LastRunLine(const Leaderboard::LastRun& last) {
    using State = Leaderboard::RunState;
    const std::string run = "Your last run (" + std::to_string(last.score) + " points)";
    switch (last.state) {
    case State::None:
        return "";
    case State::NoName:
        return run + " waits for your name (NAME).";
    case State::Waiting:
        return run + " waits to be sent.";
    case State::Verifying:
        return run + " is being verified.";
    case State::Placed:
        return last.place > 0 ? run + " placed " + Ordinal(last.place) + " on " + last.board + "."
                              : run + " was accepted.";
    case State::Refused:
        return run + " was refused: " + last.reason;
    }
    return "";
}

bool SameRows(const std::vector<Morvek::OnlineRow>& a, const std::vector<Morvek::OnlineRow>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].place != b[i].place || a[i].name != b[i].name || a[i].score != b[i].score ||
            a[i].won != b[i].won) {
            return false;
        }
    }
    return true;
}

Morvek::OnlineBoard BoardFor(const std::string& name) {
    Session& s = Now();
    // Asked again when the player's run finds its place, and now and then
    // while it is looked at, so the rows never stay stale for long.
    const auto now = std::chrono::steady_clock::now();
    const Leaderboard::RunState last = s.sender->State().last.state;
    if (name != s.board || last != s.askedAt || now - s.requested > kBoardFresh) {
        s.board = name;
        s.askedAt = last;
        s.requested = now;
        const auto dash = name.find('-');
        s.sender->RequestBoard(name.substr(0, dash), name.substr(dash + 1));
    }
    const Leaderboard::Board& got = s.sender->Shown();
    Morvek::OnlineBoard b;
    b.set = true;
    b.name = s.setup.playerName;
    for (const auto& row : got.rows) {
        b.rows.push_back({static_cast<std::uint32_t>(row.place), row.name,
                          static_cast<std::uint64_t>(row.score), row.won});
    }
    const Leaderboard::Status& status = s.sender->State();
    using BoardState = Leaderboard::BoardState;
    b.status = !status.trouble.empty() ? status.trouble
               : got.state == BoardState::Loading
                   ? (got.rows.empty() ? "Asking the leaderboard..." : "")
               : got.state == BoardState::Unreachable ? got.message
               : got.rows.empty()                     ? "No run is on this board yet."
                                                      : "";
    b.lastRun = LastRunLine(status.last);
    const Morvek::OnlineBoard& was = s.shown;
    if (!SameRows(b.rows, was.rows) || b.status != was.status || b.lastRun != was.lastRun ||
        b.name != was.name) {
        b.news = was.news + 1;
        s.shown = b;
    }
    return s.shown;
}

Morvek::OnlineBoard NoBoard(const std::string&) {
    Morvek::OnlineBoard none;
    none.news = Now().shown.news;
    none.status = Now().none;
    return none;
}

} // namespace

void Start(const Setup& setup) {
    Session& s = Now();
    s.setup = setup;
    s.sender.reset();
    Display::Host::SetServeHook(nullptr);
    s.board.clear();
    // Whatever the screen showed before is news to redraw: a status no
    // board has makes the next answer differ.
    Morvek::OnlineBoard fresh;
    fresh.news = s.shown.news + 1;
    fresh.status = "\n";
    s.shown = fresh;
    Morvek::SetOnlineSource(s.none.empty() ? Morvek::OnlineSource{} : NoBoard);
    if (setup.address.empty()) {
        return;
    }
    if (setup.data.empty()) {
        std::cerr
            << "morvek: the leaderboard needs a data folder for its outbox; nothing is sent\n";
        return;
    }
    s.sender = std::make_unique<Leaderboard::Sender>(setup.address, setup.data, setup.playerName);
    // A screen waiting for a key (the name entry) or a host's own screen
    // takes no steps, and the sending must not wait with them.
    Display::Host::SetServeHook(Pump);
    Morvek::SetOnlineSource(BoardFor);
}

bool UseAddress(std::string_view address, const std::string& none, std::string& why) {
    std::string normal;
    if (!address.empty() && !Settings::Online::CheckAddress(address, normal, why)) {
        return false;
    }
    Session& s = Now();
    s.none = none;
    Setup setup = s.setup;
    setup.address = normal;
    Start(setup);
    return true;
}

bool ChooseName(std::string_view typed, std::string& why) {
    if (!Settings::Online::CheckName(typed, why)) {
        return false;
    }
    std::string name(typed);
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    KeepName(name);
    return true;
}

const std::string& PlayerName() {
    return Now().setup.playerName;
}

void AfterStep(Morvek::World& w, const Morvek::Wait& wait) {
    Session& s = Now();
    const Morvek::PracticeChoice& practice = Game::options.practice;
    if (s.tally.Follow(w, wait, practice.level != 1 || practice.boss)) {
        if (s.sender && !s.tally.practice && !s.tally.cheat && !s.setup.recording.empty()) {
            s.sender->GameEnded(s.setup.recording, s.tally.game,
                                static_cast<std::int64_t>(w.score));
            s.askName = s.setup.playerName.empty();
        }
#ifdef __EMSCRIPTEN__
        PageOnline::GameEnded();
#endif
    }
    if (s.sender) {
        s.sender->Pump();
    }
    const Morvek::HostAsk asked = std::exchange(w.asked, Morvek::HostAsk::None);
    if (asked == Morvek::HostAsk::Replays && !s.setup.replays.empty()) {
        OpenReplays(s.setup.replays);
    }
    // Asked once, at the first screen after the game that needs it
    if (asked == Morvek::HostAsk::OnlineName ||
        (s.askName && wait.kind == Morvek::Wait::Kind::Idle)) {
        s.askName = false;
        AskName();
    }
}

void Pump() {
    if (Session& s = Now(); s.sender) {
        s.sender->Pump();
    }
}

void Finish(std::uint32_t ms) {
    Session& s = Now();
    if (!s.sender) {
        return;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    s.sender->Pump();
    while (s.sender->State().last.state == Leaderboard::RunState::Waiting &&
           s.sender->State().trouble.empty() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s.sender->Pump();
    }
    s.sender.reset();
}

} // namespace Program::Online
