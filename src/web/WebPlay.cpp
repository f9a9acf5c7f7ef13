// Whether a game is in play, for the page: while one is, it keeps the
// browser's shortcuts (Ctrl+P prints, F5 reloads) from the keys and asks
// before it is left. A highscore's name not yet entered counts, as leaving
// then loses the score.
#include "game/core/World.h"

#include <emscripten.h>

extern "C" EMSCRIPTEN_KEEPALIVE int morvek_in_play() {
    const auto mode = Morvek::world.mode;
    return Morvek::InGame(mode) || mode == Morvek::Mode::NameEntry ? 1 : 0;
}
