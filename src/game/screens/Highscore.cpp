#include "game/screens/Highscore.h"
#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Layout.h"
#include "game/screens/OnlineBoard.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/ScorePlace.h"
#include "game/screens/Screen.h"

#include <limits>
#include <string>
#include <utility>

namespace Morvek {

namespace {

void DrawLocalRows(std::uint32_t lit) {
    ScorePlace::Read(world.scores);
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kHighscoreHeading);
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        const std::int32_t y = Layout::HighscoreRowY(i);
        if (i == lit) {
            const Layout::Rect& r = Layout::kHighscoreLit;
            Display::Rectangle(r.x1, y + r.y1, r.x2, y + r.y2, Layout::kHighlight, false);
            Display::SetFont(Layout::kFontStyle, Layout::kGold);
        } else {
            Display::SetFont(Layout::kFontStyle, Layout::kWhite);
        }
        Display::Text(std::to_string(i) + ".", Layout::kHighscoreRankX, y);
        // A save never puts a 0 in the table: that place is still empty.
        if (world.scores[i].points == 0) {
            Display::Text(Layout::kHighscoreEmpty, Layout::kHighscoreNameX, y);
            continue;
        }
        // TextCard takes numbers up to 2^31 - 1; a file may hold bigger ones.
        if (world.scores[i].points <=
            static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
            Display::TextCard(world.scores[i].points, Layout::kHighscoreScoreX, y);
        } else {
            Display::Text(std::to_string(world.scores[i].points), Layout::kHighscoreScoreX, y);
        }
        Display::Text(ScoreFile::Shown(world.scores[i].name), Layout::kHighscoreNameX, y);
    }
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
}

void DrawOnline(const OnlineBoard& board, const World& w) {
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Display::Text("Online, " + BoardName(w) + ":", Layout::kOnlineHeading.x,
                  Layout::kOnlineHeading.y);
    DrawOnlineRows(board);
}

void DrawScreen(const ReturnScene& s, World& w) {
    Display::SetTitle(Layout::kTitleHighscore);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    if (s.online) {
        const OnlineBoard board = CurrentBoard(w);
        w.looks.boardShown = board.news;
        DrawOnline(board, w);
    } else {
        DrawLocalRows(0);
    }
    Screen::DrawReturnButton();
    Screen::DrawTextButton(Layout::kReplaysButton, Layout::kReplaysCaption);
    Screen::DrawTextButton(Layout::kOnlineButton,
                           s.online ? Layout::kLocalCaption : Layout::kOnlineCaption);
    if (s.online) {
        Screen::DrawTextButton(Layout::kOnlineNameButton, Layout::kOnlineNameCaption);
    }
}

} // namespace

void DrawHighscores(std::uint32_t lit) {
    Display::SetTitle(Layout::kTitleHighscore);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    DrawLocalRows(lit);
    Screen::DrawReturnButton();
}

Next UpdateHighscores(ReturnScene& s, World& w) {
    if (s.asking != HostAsk::None) {
        // The press let go and recorded; the host's screen comes over this one
        w.asked = std::exchange(s.asking, HostAsk::None);
    }
    if (!s.shown) {
        s.shown = true;
        DrawScreen(s, w);
    } else if (s.online && CurrentBoard(w).news != w.looks.boardShown) {
        DrawScreen(s, w); // the server answered: drawing only
    }
    Screen::ReadInput(s.online ? Layout::kOnlineGrid : Layout::kHighscoreGrid);
    // Each poll frames every button, so all are asked, the chosen one acted on.
    const bool back = Screen::Clicked(Layout::kReturn) || Focus::Escaped();
    const bool replays = Screen::Clicked(Layout::kReplaysButton);
    const bool flip = Screen::Clicked(Layout::kOnlineButton);
    const bool name = s.online && Screen::Clicked(Layout::kOnlineNameButton);
    if (back) {
        Screen::BackToMenu();
        return Done();
    }
    if (replays || name || flip) {
        if (flip) {
            s.online = !s.online;
            Focus::Carry(s.online ? Layout::kOnlineGrid : Layout::kHighscoreGrid);
            DrawScreen(s, w);
        }
        s.asking = replays ? HostAsk::Replays : name ? HostAsk::OnlineName : HostAsk::None;
        // A held button would choose again at every poll
        return Open(w, ReleaseScene{});
    }
    return IdleWait(Screen::kPassMs);
}

} // namespace Morvek
