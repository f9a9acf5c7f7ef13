#include "game/core/World.h"

namespace Procedures {

std::array<Enemy, 101> enemies{};
std::array<Bullet, 101> bullets{};
std::array<Background, 4> backgrounds{};
std::array<Background, 21> icicles{};
std::array<Item, 11> fireballs{};
std::array<std::array<Item, 11>, 7> items{};
std::array<Blast, 26> explosions{};
std::array<std::array<std::array<card, 3>, 15>, 8> images{};
std::array<Highscore, 12> scores{};
std::array<card, 51> difficultyHistory{};

card counter = 0;
card growCounter = 0;
card level = 0;
card score = 0;
card actualDifficulty = 0;
integer mouseX = 0;
integer mouseY = 0;
bool returnToMenu = false;
bool quitGame = false;
bool shieldRunning = false;
bool beamRunning = false;
bool beamShown = false;
Dragon dragon{};
Difficulty difficulty = Difficulty::Easy;
card speed = 0;
Mode mode = Mode::Menu;

void ResetWorld() {
    enemies = {};
    bullets = {};
    backgrounds = {};
    icicles = {};
    fireballs = {};
    items = {};
    explosions = {};
    images = {};
    scores = {};
    difficultyHistory = {};
    counter = 0;
    growCounter = 0;
    level = 0;
    score = 0;
    actualDifficulty = 0;
    mouseX = 0;
    mouseY = 0;
    returnToMenu = false;
    quitGame = false;
    shieldRunning = false;
    beamRunning = false;
    beamShown = false;
    dragon = {};
    difficulty = Difficulty::Easy;
    speed = 0;
    mode = Mode::Menu;
}

} // namespace Procedures
