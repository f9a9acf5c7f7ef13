// What the game is doing, as data: a stack of scenes, the menu at its
// bottom. Each scene keeps where it stands between two waits, so the world
// is a complete save of the game at any tick and Step (game/Step.h) can
// carry on from it. A scene opens another by pushing it and goes on where it
// stood once that one is done.
#pragma once

#include "game/core/Fights.h"
#include "game/core/HostAsk.h"
#include "game/core/Mode.h"

#include <array>
#include <cstdint>
#include <variant>

namespace Morvek {

// The main menu: a pass polls its six buttons in order, and a screen a button
// opens comes back to the rest of the pass.
struct MenuScene {
    bool inPass = false;
    std::uint32_t button = 0; // the next button of the pass
    bool gameOn = false;      // New game was chosen: a game lies above
};

// The Story, Highscore and Credits screens: a picture and a Return button.
struct ReturnScene {
    Mode screen = Mode::Story;
    bool shown = false;
    bool online = false; // highscores: the leaderboard's table rather than this machine's
    HostAsk asking = HostAsk::None; // asked of the host once the choosing press is let go
};

struct OptionsScene {
    bool shown = false;
    bool backFromControls = false;
};

// The Controls screen and the rebinding of one row.
struct ControlsScene {
    enum class At : std::uint8_t {
        Opening,   // waiting for the key that opened it to go up
        Pass,      // polling its buttons
        Defaults,  // the defaults kept, their key going up
        Rows,      // polling the rows from `row` on
        Asking,    // the row's key going up before the question
        Listening, // waiting for the new key
        Answered,  // the new key going up
        Leaving,   // Return going up
    };
    At at = At::Opening;
    std::uint32_t row = 0;    // the next row to poll
    std::uint32_t action = 0; // the row being rebound
    bool refused = false;     // the last key pressed keeps its own meaning
};

// Waits until the mouse and the keys that choose are up, so what chose a
// button does nothing more on the screen it opens.
struct ReleaseScene {};

// A game: the level script's place. The waves, the fight, the interlude and
// the victory's name entry are scenes of their own above it.
struct GameScene {
    enum class At : std::uint8_t {
        LevelStart,
        Waves,     // `wave` was the last one placed
        ExtraWave, // the last level's extra wave is on
        Fight,     // the level's boss fight is on
        Interlude, // the story after the fight is on
        Victory,   // the name entry after the last boss is on
        Lost,      // the game-over screen was left: the game's end
    };
    At at = At::LevelStart;
    std::uint32_t wave = 0;
    At lostIn = At::LevelStart; // where the game was lost
};

// A wave or a boss fight, ticked until no enemy holds it up.
struct BattleScene {
    enum class At : std::uint8_t { Start, GlideIn, Tick, Slept, Resumed };
    At at = At::Start;
    std::uint32_t pass = 0; // of the glide-in
    Fight fight;            // monostate for a wave
};

// The story between two levels; Enter goes on.
struct InterludeScene {
    std::uint32_t level = 0;
    bool shown = false;
};

struct PauseScene {
    Mode interrupted = Mode::Wave;
    bool shown = false;
};

struct GameOverScene {
    bool shown = false;
    bool saved = false; // one result is saved once
    bool naming = false;
};

struct NameEntryScene {
    bool won = false; // after the last boss: a victory, not a game over
    bool shown = false;
    std::uint32_t t = 1;     // the place the next letter goes, 1..7; 8 when full
    bool saving = false;     // the name is given; the save tries until it is done
    std::uint32_t tries = 0; // saves found the table held by another game
    // Saved: the table is up with the new row lit (0: below the ten) until
    // Return, Escape or a click goes on.
    bool answered = false;
    bool listening = false; // the saving key let go: presses from now on go on
    std::uint32_t place = 0;
};

using Scene =
    std::variant<MenuScene, ReturnScene, OptionsScene, ControlsScene, ReleaseScene, GameScene,
                 BattleScene, InterludeScene, PauseScene, GameOverScene, NameEntryScene>;

// The scenes in the order they opened. Deep enough for the deepest: menu,
// game, battle, game over, name entry.
class SceneStack {
  public:
    static constexpr std::size_t kDepth = 8;
    bool Empty() const { return size_ == 0; }
    std::size_t Size() const { return size_; }
    Scene& Top() { return scenes_[size_ - 1]; }
    const Scene& At(std::size_t i) const { return scenes_[i]; }
    Scene& At(std::size_t i) { return scenes_[i]; }
    // False, and nothing opened, on a stack already full.
    bool Push(Scene s) {
        if (size_ == kDepth) {
            return false;
        }
        scenes_[size_++] = s;
        return true;
    }
    void Pop() {
        if (size_ > 0) {
            scenes_[--size_] = MenuScene{};
        }
    }

  private:
    std::array<Scene, kDepth> scenes_{};
    std::size_t size_ = 0;
};

} // namespace Morvek
