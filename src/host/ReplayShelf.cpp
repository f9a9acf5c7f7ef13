#include "host/ReplayShelf.h"

#include "display/Display.h"
#include "display/Host.h"
#include "display/KeyCodes.h"
#include "display/Run.h"
#include "game/core/Catalogue.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"
#include "host/Loop.h"
#include "host/ReplayList.h"
#include "host/ReplayPace.h"
#include "host/Watch.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Program::ReplayShelf {

namespace {

namespace fs = std::filesystem;
namespace Layout = Morvek::Layout;
using Display::Host::Taken;
using Kind = Display::Host::Taken::Kind;
using SteadyClock = std::chrono::steady_clock;

// --- How it looks: the highscore screen's background, font and frames ------
constexpr std::string_view kTitle = "Replays";
constexpr Layout::Label kHeading{"Replays:", {480, 130}};
constexpr Layout::Label kNone{"No replays yet: every session you play is kept here.", {330, 380}};

struct Column {
    std::string_view heading;
    std::int32_t x;
};
constexpr std::array<Column, 4> kColumns{{
    {"When", 170},
    {"Difficulty", 390},
    {"Speed", 510},
    {"Best score", 620},
}};
constexpr std::int32_t kColumnsY = 170;
constexpr std::size_t kRows = 10; // shown at once
// As the highscore rows stand, and framed as its lit row is.
constexpr std::int32_t RowY(std::size_t shown) {
    return 205 + 45 * static_cast<std::int32_t>(shown);
}
constexpr Layout::Rect RowRect(std::size_t shown) {
    return {150, RowY(shown) - 9, 870, RowY(shown) + 20};
}
constexpr Layout::Rect kBack = Layout::kReturn;
constexpr Layout::Point kCountAt{230, 668};
constexpr Layout::Point kHelpAt{230, 698};
constexpr std::string_view kHelp =
    "Up and Down choose, Return plays, F plays faster, Escape leaves";
constexpr std::uint32_t kMuted = Morvek::Colours::Packed(176, 168, 184);

// The band while playing, at `speed` times its pace.
std::string PlayingBand(std::uint32_t speed) {
    const std::string pace = speed > 1 ? " x" + std::to_string(speed) : "";
    const bool fastest = speed == ReplayPace::kSpeeds.back();
    return "REPLAY" + pace + " \xE2\x80\x94 F " + (fastest ? "normal pace" : "faster") +
           ", Esc to leave";
}
constexpr const char* kOverBand = "REPLAY OVER \xE2\x80\x94 press any key";

// Fast forward, through the speeds of ReplayPace.
constexpr std::uint32_t kFaster = 'F';
// Going fast, a frame is shown this often.
constexpr std::uint64_t kFrameMs = 16;
// A replay's last input shows its effect for this long, then it is over.
constexpr std::uint64_t kTailMs = 1500;
// Scoring takes this much of each pass while the list waits for the player.
constexpr auto kScoringSlice = std::chrono::milliseconds(8);

bool Inside(const Layout::Rect& r, std::int32_t x, std::int32_t y) {
    return r.x1 <= x && x <= r.x2 && r.y1 <= y && y <= r.y2;
}

// What the player asked for.
enum class Answer : std::uint8_t { None, Play, Leave, Close };

// The list on screen: which row is lit and which are shown. Rows count from
// the newest; the Return button is lit as row `count`. As on the game's
// screens, nothing is lit until an arrow is pressed or the mouse moves, and
// the one pointed at last is lit.
class Chooser {
  public:
    explicit Chooser(std::size_t count) : count_(count) {}

    // The answer to one input, the row to play in `row`.
    Answer Take(const Taken& t, std::size_t& row) {
        switch (t.kind) {
        case Kind::Close:
            return Answer::Close;
        case Kind::Move:
            Point(t.x, t.y);
            return Answer::None;
        case Kind::Wheel:
            Scroll(-3 * t.y);
            return Answer::None;
        case Kind::Click:
            Point(t.x, t.y);
            return lit_ ? Choose(row) : Answer::None;
        case Kind::Key:
            return Key(t.code, row);
        }
        return Answer::None;
    }

    std::optional<std::size_t> Lit() const { return lit_; }
    std::size_t Top() const { return top_; }

  private:
    Answer Key(std::uint32_t code, std::size_t& row) {
        namespace Code = Display::KeyCode;
        constexpr std::uint32_t kPageUp = 0x21, kPageDown = 0x22, kEnd = 0x23, kHome = 0x24;
        const std::size_t last = count_; // the Return button
        const std::size_t at = lit_.value_or(top_);
        switch (code) {
        case Code::kEscape:
            return Answer::Leave;
        case Code::kReturn:
        case Code::kSpace:
            return lit_ ? Choose(row) : Answer::None;
        case Code::kUp:
            Light(lit_ ? (at == 0 ? 0 : at - 1) : at);
            return Answer::None;
        case Code::kDown:
            Light(lit_ ? std::min(at + 1, last) : std::min(at, last));
            return Answer::None;
        case kPageUp:
            Light(at >= kRows ? at - kRows : 0);
            return Answer::None;
        case kPageDown:
            Light(std::min(at + kRows, count_ > 0 ? count_ - 1 : last));
            return Answer::None;
        case kHome:
            Light(0);
            return Answer::None;
        case kEnd:
            Light(count_ > 0 ? count_ - 1 : last);
            return Answer::None;
        default:
            return Answer::None;
        }
    }

    Answer Choose(std::size_t& row) {
        if (*lit_ == count_) {
            return Answer::Leave;
        }
        row = *lit_;
        return Answer::Play;
    }

    // Lit from the keyboard: the row is brought into view.
    void Light(std::size_t row) {
        lit_ = row;
        if (row < count_) {
            top_ = std::min(top_, row);
            top_ = std::max(top_, row + 1 > kRows ? row + 1 - kRows : 0);
        }
    }

    void Point(std::int32_t x, std::int32_t y) {
        lit_.reset();
        if (Inside(kBack, x, y)) {
            lit_ = count_;
        }
        for (std::size_t shown = 0; shown < kRows && top_ + shown < count_; ++shown) {
            if (Inside(RowRect(shown), x, y)) {
                lit_ = top_ + shown;
            }
        }
    }

    void Scroll(std::int32_t rows) {
        const std::size_t most = count_ > kRows ? count_ - kRows : 0;
        const auto to = static_cast<std::int64_t>(top_) + rows;
        top_ = static_cast<std::size_t>(
            std::clamp<std::int64_t>(to, 0, static_cast<std::int64_t>(most)));
    }

    std::size_t count_;
    std::optional<std::size_t> lit_;
    std::size_t top_ = 0;
};

std::string Capitalised(std::string word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') {
        word[0] = static_cast<char>(word[0] - 'a' + 'A');
    }
    return word.empty() ? "?" : word;
}

void DrawRow(const Entry& e, std::size_t shown, bool lit) {
    const std::int32_t y = RowY(shown);
    const Layout::Rect r = RowRect(shown);
    if (lit) {
        Display::Rectangle(r.x1, r.y1, r.x2, r.y2, Layout::kHighlight, false);
    }
    const std::uint32_t colour = lit ? Layout::kGold : Layout::kWhite;
    Display::SetFont(Layout::kFontStyle, colour);
    Display::Text(e.when, kColumns[0].x, y);
    if (!e.Playable()) {
        Display::SetFont(Layout::kFontStyle, lit ? colour : kMuted);
        Display::Text(e.refused, kColumns[1].x, y);
        return;
    }
    Display::Text(Capitalised(e.difficulty), kColumns[1].x, y);
    Display::Text(Capitalised(e.speed), kColumns[2].x, y);
    const std::string best = !e.scored ? "..." : e.best ? std::to_string(*e.best) : "-";
    Display::Text(best, kColumns[3].x, y);
}

void DrawList(const std::vector<Entry>& entries, const Chooser& chooser) {
    Morvek::Screen::Draw(Layout::kMenuBack, {0, 0});
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Morvek::Screen::DrawLabel(kHeading);
    if (entries.empty()) {
        Morvek::Screen::DrawLabel(kNone);
    } else {
        Display::SetFont(Layout::kFontStyle, Layout::kGold);
        for (const Column& c : kColumns) {
            Display::Text(c.heading, c.x, kColumnsY);
        }
        const std::size_t top = chooser.Top();
        for (std::size_t shown = 0; shown < kRows && top + shown < entries.size(); ++shown) {
            DrawRow(entries[top + shown], shown, chooser.Lit() == top + shown);
        }
        Display::SetFont(Layout::kFontStyle, Layout::kWhite);
        const std::size_t last = std::min(top + kRows, entries.size());
        Display::Text("Sessions " + std::to_string(top + 1) + " to " + std::to_string(last) +
                          " of " + std::to_string(entries.size()) + ", the newest first",
                      kCountAt.x, kCountAt.y);
        Display::Text(kHelp, kHelpAt.x, kHelpAt.y);
    }
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Morvek::Screen::DrawReturnButton();
    if (chooser.Lit() == entries.size()) {
        Display::Rectangle(kBack.x1, kBack.y1, kBack.x2, kBack.y2, Layout::kHighlight, false);
    }
}

// The host's hold on the input, and what it took, in order.
class Hold {
  public:
    void Claim(std::string band) {
        Display::Host::Claim([this](const Taken& t) { taken_.push_back(t); }, std::move(band));
    }
    bool Waiting() const { return !taken_.empty(); }
    std::vector<Taken> Take() { return std::exchange(taken_, {}); }

  private:
    std::vector<Taken> taken_;
};

// Plays a replay in the window at its recorded pace, until Escape, the
// window's close or its end; at its end its last frame stays until a key.
// False when the window was closed.
bool Play(const fs::path& file, Entry& entry, Hold& hold) {
    ReplayGame replay;
    if (std::string why; !replay.Load(file, why)) {
        entry.refused = why;
        return true;
    }
    ReplayPace pace(SteadyClock::now());
    hold.Claim(PlayingBand(pace.Speed()));
    bool leave = false, closed = false;
    const auto look = [&] {
        for (const Taken& t : hold.Take()) {
            closed = closed || t.kind == Kind::Close;
            leave = leave || (t.kind == Kind::Key && t.code == Display::KeyCode::kEscape);
            if (t.kind == Kind::Key && t.code == kFaster) {
                pace.Faster(SteadyClock::now());
                hold.Claim(PlayingBand(pace.Speed()));
            }
        }
        return leave || closed;
    };
    // The replay's clock is paced by the host's, as the demo's is. Behind its
    // pace (going fast, or on a slow machine) it shows a frame now and then
    // rather than spend its time showing each.
    auto shown = SteadyClock::now();
    while (!look() && replay.Turn()) {
        const auto now = SteadyClock::now();
        const std::uint64_t due = replay.Game().Within(Display::Run::ClockMs);
        const bool behind = due + kFrameMs < pace.At(now);
        if (!behind || now - shown >= std::chrono::milliseconds(kFrameMs)) {
            replay.Game().Within([] { Display::Host::Present(); });
            shown = now;
        }
        if (due > replay.LastMs() + kTailMs) {
            break; // as a script in a window ends: not minutes later, as a headless run would
        }
        Display::Host::Serve(pace.Wait(due, SteadyClock::now(), 100),
                             [&hold] { return hold.Waiting(); });
    }
    if (leave || closed) {
        return !closed;
    }
    hold.Claim(kOverBand);
    replay.Game().Within([] { Display::Host::Present(); });
    for (;;) {
        Display::Host::Serve(std::nullopt, [&hold] { return hold.Waiting(); });
        for (const Taken& t : hold.Take()) {
            if (t.kind == Kind::Close) {
                return false;
            }
            if (t.kind == Kind::Key || t.kind == Kind::Click) {
                return true;
            }
        }
    }
}

// The list until the player leaves it or closes the window.
void Browse(const fs::path& folder) {
    std::vector<Entry> entries = List(folder);
    Scorer scorer(folder);
    Chooser chooser(entries.size());
    Hold hold;
    hold.Claim("");
    // The list's own run, where it is drawn: the pictures of the game's
    // screens, nothing of the program's.
    SideGame canvas;
    canvas.Within([] {
        Display::Window(kTitle, Display::kWidth, Display::kHeight);
        Display::SetBuffering(true);
        Morvek::LoadPictures();
    });
    bool redraw = true;
    for (;;) {
        if (redraw) {
            canvas.Within([&] {
                DrawList(entries, chooser);
                Display::UpdateWindow();
                Display::Host::Present();
            });
            redraw = false;
        }
        const bool scoring = Scorer::Left(entries);
        Display::Host::Serve(scoring ? 0 : 1000, [&hold] { return hold.Waiting(); });
        for (const Taken& t : hold.Take()) {
            std::size_t row = 0;
            const auto before = std::pair{chooser.Lit(), chooser.Top()};
            switch (chooser.Take(t, row)) {
            case Answer::Close:
            case Answer::Leave:
                return;
            case Answer::Play:
                if (entries[row].Playable() &&
                    !Play(folder / entries[row].name, entries[row], hold)) {
                    return;
                }
                hold.Claim("");
                redraw = true;
                break;
            case Answer::None:
                redraw = redraw || before != std::pair{chooser.Lit(), chooser.Top()};
                break;
            }
        }
        if (scoring && !hold.Waiting()) {
            redraw = scorer.Work(entries, kScoringSlice) || redraw;
        }
    }
}

} // namespace

void Open(const fs::path& folder) {
    if (!Display::Host::Running() || Display::Run::Headless() || !Display::Run::WindowOpen() ||
        Display::Run::ScriptPlaying() || AutopilotPlaying() || Watch::On()) {
        return;
    }
    Display::Host::SetTitle(std::string(kTitle));
    Browse(folder);
    // The program's frame again, whole, and its caption.
    Display::Host::Unclaim();
    Display::Host::SetTitle(Display::Run::Title());
    Display::Host::Present();
}

} // namespace Program::ReplayShelf
