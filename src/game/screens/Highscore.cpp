#include "game/screens/Highscore.h"
#include "display/Bindings.h"
#include "display/Display.h"
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

namespace Morvek {

void ResetGame() {
    // The play below ends a game on these screens.
    SetGameOver(GameOver);
    SetGameWon(GameOverSave);
    world.dragon.state = true;
    world.dragon.health = 100;
    world.dragon.magic = 100;
    world.dragon.special = 3;
    world.dragon.beamReady = true;
    world.dragon.shieldReady = true;
    world.dragon.lives = 4;
    world.dragon.upgrade = 1;
    for (const std::uint32_t i : Slots(world.bullets)) {
        world.bullets[i].radius = 5.0f;
    }
    world.score = 0;
    world.level = 1;
    world.counter = 1;
    for (const std::uint32_t i : Slots(1, kDifficultyHistory)) {
        world.difficultyHistory[i] = 4;
    }
    world.actualDifficulty = 4;
    world.beamRunning = false;
    world.shieldRunning = false;
    world.growCounter = 0;
    world.backgrounds[1].x = 0;
    world.backgrounds[1].y = 0;
}

void NewGame() {
    ScorePlace::Read(world.scores);
    ResetGame();
    PracticeStart();
    Display::Bindings::SetPlaying(true);
    PlayLevels();
    Display::Bindings::SetPlaying(false);
    DrawMenu();
}

void HighscoreScreen() {
    world.mode = Mode::Highscores;
    Display::SetTitle(Layout::kTitleHighscore);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    ScorePlace::Read(world.scores);
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kHighscoreHeading);
    for (std::uint32_t i = 1; i <= ScoreFile::kPlaces; ++i) {
        const std::int32_t y = Layout::HighscoreRowY(i);
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
    Screen::DrawReturnButton();
    Display::UpdateWindow();
    Screen::WaitForReturn();
    Screen::BackToMenu();
}

} // namespace Morvek
