#include "game/core/World.h"

namespace Procedures {

std::array<enemy, 101> enemies{};
std::array<bullet, 101> bullets{};
std::array<Background, 4> backarr{};
std::array<Background, 21> BackObjLevel2{};
std::array<object, 11> BackObjLevel3{};
std::array<std::array<object, 11>, 7> objects{};
std::array<explosion, 26> explosions{};
std::array<std::array<std::array<card, 3>, 15>, 8> images{};
std::array<highscore, 12> scores{};
std::array<card, 51> calclevel{};

card counter = 0;
card growcounter = 0;
card level = 0;
card score = 0;
card actualdifficulty = 0;
integer moux = 0;
integer mouy = 0;
bool returnmenu = false;
bool quitgame = false;
bool initshield = false;
bool initbeam = false;
bool beamshown = false;
ship schip{};
real dynamic_difficulty_influence_coefficient = 0;
card speed = 0;
Mode mode = Mode::Menu;

void ResetWorld() {
    enemies = {};
    bullets = {};
    backarr = {};
    BackObjLevel2 = {};
    BackObjLevel3 = {};
    objects = {};
    explosions = {};
    images = {};
    scores = {};
    calclevel = {};
    counter = 0;
    growcounter = 0;
    level = 0;
    score = 0;
    actualdifficulty = 0;
    moux = 0;
    mouy = 0;
    returnmenu = false;
    quitgame = false;
    initshield = false;
    initbeam = false;
    beamshown = false;
    schip = {};
    dynamic_difficulty_influence_coefficient = 0;
    speed = 0;
    mode = Mode::Menu;
}

} // namespace Procedures
