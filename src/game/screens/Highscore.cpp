#include "game/screens/Highscore.h"
#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/ScorePlace.h"
#include "game/screens/Screen.h"

#include <limits>
#include <string>

namespace Morvek {

void DrawHighscores(std::uint32_t lit) {
    Display::SetTitle(Layout::kTitleHighscore);
    Screen::Draw(Layout::kMenuBack, {0, 0});
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
    Screen::DrawReturnButton();
}

} // namespace Morvek
