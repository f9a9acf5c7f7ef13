#include "game/Step.h"

#include "display/Display.h"
#include "game/Game.h"
#include "game/combat/HitLooks.h"
#include "game/core/Catalogue.h"
#include "game/core/Pause.h"
#include "game/levels/Battle.h"
#include "game/levels/Levels.h"
#include "game/screens/Controls.h"
#include "game/screens/GameOver.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"
#include "game/screens/NameEntry.h"
#include "game/screens/Options.h"
#include "game/screens/Screen.h"
#include "util/Overloaded.h"

#include <optional>
#include <variant>

namespace Morvek {

namespace {

using Util::Overloaded;

// The label a scene shows the sound, the autopilot and the trace; none for
// the scenes that only pass through or wait on behalf of the one below.
std::optional<Mode> LabelOf(const Scene& scene) {
    return std::visit(
        Overloaded{
            [](const MenuScene&) -> std::optional<Mode> { return Mode::Menu; },
            [](const ReturnScene& s) -> std::optional<Mode> { return s.screen; },
            [](const OptionsScene&) -> std::optional<Mode> { return Mode::Options; },
            [](const ControlsScene&) -> std::optional<Mode> { return Mode::Options; },
            [](const ReleaseScene&) -> std::optional<Mode> { return std::nullopt; },
            [](const GameScene&) -> std::optional<Mode> { return std::nullopt; },
            [](const BattleScene& b) -> std::optional<Mode> {
                return std::holds_alternative<std::monostate>(b.fight) ? Mode::Wave
                                                                       : Mode::BossFight;
            },
            [](const InterludeScene&) -> std::optional<Mode> { return Mode::Interlude; },
            [](const PauseScene&) -> std::optional<Mode> { return Mode::Paused; },
            [](const GameOverScene&) -> std::optional<Mode> { return Mode::GameOver; },
            [](const NameEntryScene&) -> std::optional<Mode> { return Mode::NameEntry; },
        },
        scene);
}

void Label(World& w) {
    for (std::size_t i = w.scenes.Size(); i > 0; --i) {
        if (const auto mode = LabelOf(w.scenes.At(i - 1))) {
            w.mode = *mode;
            return;
        }
    }
}

// A game over: the scenes of play above the game go, and the game ends.
void EndGame(World& w) {
    while (!w.scenes.Empty() && !std::holds_alternative<GameScene>(w.scenes.Top())) {
        w.scenes.Pop();
    }
    if (!w.scenes.Empty()) {
        LoseGame(std::get<GameScene>(w.scenes.Top()));
    }
}

} // namespace

void Start(World& w) {
    Display::Window(Layout::kTitleMenu, Display::kWidth, Display::kHeight);
    Display::SetBuffering(true);
    LoadPictures();
    DrawMenu();
    w.difficulty = Game::options.difficulty;
    w.tickMs = Game::options.speed;
    w.practice = Game::options.practice;
    w.scenes = SceneStack{};
    w.scenes.Push(MenuScene{});
    Label(w);
}

Wait Step(World& w) {
    Label(w); // a scene pushed from outside (a test, a host) shows its own
    for (;;) {
        if (w.scenes.Empty()) {
            return {Wait::Kind::Quit, 0};
        }
        const Next next =
            std::visit([&w](auto& scene) { return Update(scene, w); }, w.scenes.Top());
        switch (next.kind) {
        case Next::Kind::Wait:
            return next.wait;
        case Next::Kind::Opened:
            break;
        case Next::Kind::Done:
            w.scenes.Pop();
            break;
        case Next::Kind::GameLost:
            EndGame(w);
            break;
        case Next::Kind::Quit:
            FreePictures();
            return {Wait::Kind::Quit, 0};
        }
        Label(w);
    }
}

void Draw(World& w) {
    if (w.scenes.Empty()) {
        return;
    }
    if (const auto* battle = std::get_if<BattleScene>(&w.scenes.Top())) {
        NoteFrame(w);
        Draw(*battle, w);
    }
}

} // namespace Morvek
