#include "game/screens/Highscore.h"
#include "display/Bindings.h"
#include "display/Wimdows.h"
#include "game/combat/Lives.h"
#include "game/core/World.h"
#include "game/levels/FrameLoop.h"
#include "game/levels/Levels.h"
#include "game/levels/Practice.h"
#include "game/screens/GameOver.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/ScorePlace.h"
#include "game/screens/Screen.h"

#include <limits>
#include <string>

namespace Procedures {

void ResetGame() {
    // The play below ends a game on these screens.
    SetGameOver(GameOver);
    SetGameWon(GameOverSave);
    dragon.state = true;
    dragon.health = 100;
    dragon.magic = 100;
    dragon.special = 3;
    dragon.beamReady = true;
    dragon.shieldReady = true;
    dragon.lives = 4;
    dragon.upgrade = 1;
    for (card i = 1; i <= 100; ++i) {
        bullets[i].length = 5.0f;
    }
    score = 0;
    level = 1;
    counter = 1;
    for (card i = 1; i <= 50; ++i) {
        difficultyHistory[i] = 4;
    }
    actualDifficulty = 4;
    beamRunning = false;
    shieldRunning = false;
    growCounter = 0;
    backgrounds[1].x = 0;
    backgrounds[1].y = 0;
}

void NewGame() {
    ScorePlace::Read(scores);
    ResetGame();
    PracticeStart();
    Wimdows::Bindings::SetPlaying(true);
    Levelcontroller();
    Wimdows::Bindings::SetPlaying(false);
    MenuDraw();
}

void Save() {
    SaveResult();
}

void HighScore() {
    mode = Mode::Highscores;
    Wimdows::SetTitle(Layout::kTitleHighscore);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    ScorePlace::Read(scores);
    Wimdows::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kHighscoreHeading);
    for (card i = 1; i <= ScoreFile::kPlaces; ++i) {
        const integer y = Layout::HighscoreRowY(i);
        Wimdows::Text(std::to_string(i) + ".", Layout::kHighscoreRankX, y);
        // A save never puts a 0 in the table: that place is still empty.
        if (scores[i].points == 0) {
            Wimdows::Text(Layout::kHighscoreEmpty, Layout::kHighscoreNameX, y);
            continue;
        }
        // TextCard takes numbers up to 2^31 - 1; a file may hold bigger ones.
        if (scores[i].points <= static_cast<card>(std::numeric_limits<integer>::max())) {
            Wimdows::TextCard(scores[i].points, Layout::kHighscoreScoreX, y);
        } else {
            Wimdows::Text(std::to_string(scores[i].points), Layout::kHighscoreScoreX, y);
        }
        Wimdows::Text(ScoreFile::Shown(scores[i].name), Layout::kHighscoreNameX, y);
    }
    Screen::DrawReturnButton();
    Wimdows::UpdateWindow();
    Screen::WaitForReturn();
    Screen::BackToMenu();
}

} // namespace Procedures
