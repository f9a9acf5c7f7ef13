#include "game/screens/OnlineBoard.h"

#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/Screen.h"

#include <utility>

namespace Morvek {

namespace {

OnlineSource& Source() {
    static OnlineSource source;
    return source;
}

// Names and scores arrive from a server: only what the font can show, and
// no longer than the table's column leaves room for.
std::string Shown(const std::string& text, std::size_t most) {
    std::string out;
    for (const char c : text) {
        if (out.size() == most) {
            break;
        }
        out += (c >= ' ' && c <= '~') ? c : '?';
    }
    return out;
}

constexpr std::size_t kNameShown = 16;
constexpr std::size_t kLineShown = 60;

} // namespace

void SetOnlineSource(OnlineSource source) {
    Source() = std::move(source);
}

std::string BoardName(const World& w) {
    std::string difficulty, speed;
    for (const auto& choice : Layout::kChoices) {
        if (choice.setting == Layout::Setting::Difficulty && choice.difficulty == w.difficulty) {
            difficulty = choice.name;
        }
        if (choice.setting == Layout::Setting::Speed && choice.speed == w.tickMs) {
            speed = choice.name;
        }
    }
    return difficulty + "-" + speed;
}

OnlineBoard CurrentBoard(const World& w) {
    if (!Source()) {
        OnlineBoard none;
        none.news = 1;
        none.status = "No leaderboard is set (settings.ini: leaderboard = URL).";
        return none;
    }
    return Source()(BoardName(w));
}

void DrawOnlineRows(const OnlineBoard& board) {
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    if (!board.status.empty()) {
        Display::Text(Shown(board.status, kLineShown), Layout::kOnlineStatus.x,
                      Layout::kOnlineStatus.y);
    }
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        const std::int32_t y = Layout::HighscoreRowY(i);
        Display::Text(std::to_string(i) + ".", Layout::kHighscoreRankX, y);
        if (i > board.rows.size()) {
            Display::Text(Layout::kHighscoreEmpty, Layout::kHighscoreNameX, y);
            continue;
        }
        const OnlineRow& row = board.rows[i - 1];
        Display::Text(Shown(row.name, kNameShown), Layout::kHighscoreNameX, y);
        Display::Text(std::to_string(row.score), Layout::kHighscoreScoreX, y);
    }
    if (board.set) {
        const std::string mine = board.name.empty()
                                     ? "Your name there: not chosen yet (NAME)"
                                     : "Your name there: " + Shown(board.name, kNameShown);
        Display::Text(mine, Layout::kOnlineName.x, Layout::kOnlineName.y);
    }
    if (!board.lastRun.empty()) {
        Display::Text(Shown(board.lastRun, kLineShown), Layout::kOnlineLastRun.x,
                      Layout::kOnlineLastRun.y);
    }
}

} // namespace Morvek
