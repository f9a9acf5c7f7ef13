#include "host/GameCourse.h"

#include "game/combat/Cheats.h"

#include <variant>

namespace Program {

Course CourseOf(const Morvek::World& w) {
    bool game = false;
    for (std::size_t i = 0; i < w.scenes.Size(); ++i) {
        const Morvek::Scene& scene = w.scenes.At(i);
        if (std::holds_alternative<Morvek::GameOverScene>(scene)) {
            return Course::Lost;
        }
        if (const auto* g = std::get_if<Morvek::GameScene>(&scene)) {
            game = true;
            if (g->at == Morvek::GameScene::At::Victory) {
                return Course::Won;
            }
            if (g->at == Morvek::GameScene::At::Lost) {
                return Course::Lost;
            }
        }
    }
    return game ? Course::Playing : Course::Gone;
}

bool GameTally::Follow(const Morvek::World& w, const Morvek::Wait& wait, bool practiceStart) {
    if (w.gamesBegun > game) {
        game = w.gamesBegun;
        playing = true;
        practice = practiceStart;
        cheat = false;
    }
    if (!playing) {
        return false;
    }
    if (wait.kind == Morvek::Wait::Kind::Tick) {
        cheat = cheat || Morvek::CheatKeyDown();
    }
    if (CourseOf(w) != Course::Playing) {
        playing = false;
        return true;
    }
    return false;
}

} // namespace Program
