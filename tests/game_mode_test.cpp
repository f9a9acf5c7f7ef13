#include "ScreenRun.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/core/World.h"
#include "game/levels/Practice.h"
#include "game/screens/Layout.h"
#include "host/Loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace Morvek;
using namespace ScreenRun;
namespace L = Morvek::Layout;

namespace KeyCode = Display::KeyCode;

namespace {

// A player who goes by the mode alone: every menu screen in turn, a game
// started at the first boss, paused there and in the next level's wave, then
// given up, a name saved from the game-over screen, and the game ended.
class ModePlayer {
  public:
    std::vector<Mode> seen;
    std::string titleAfterSave;

    void OnSync() {
        // A game that never gets where the plan leads (a pause that is never
        // seen as one) ends here rather than playing on for good.
        if (++syncs_ > kMostSyncs) {
            Apply(InputEvent::Close);
            return;
        }
        if (world.mode == Mode::Paused && !seen.empty() && seen.back() != Mode::Paused) {
            pausedIn_[seen.back() == Mode::Wave] = true;
        }
        if (seen.empty() || seen.back() != world.mode) {
            seen.push_back(world.mode);
        }
        if (mouseDown_) {
            Apply(InputEvent::MouseUp);
            mouseDown_ = false;
            return;
        }
        switch (world.mode) {
        case Mode::Menu:
            Click(kMenuPlan[next_++]);
            break;
        case Mode::Story:
        case Mode::Options:
        case Mode::Highscores:
        case Mode::Credits:
            Click(L::kReturn);
            break;
        case Mode::BossFight:
        case Mode::Wave:
            Hold(KeyCode::kReturn, false);
            if (!pausedIn_[world.mode == Mode::Wave]) {
                Hold(KeyCode::kP, true); // until the next tick's pause check sees it
            } else if (held_[KeyCode::kP]) {
                Hold(KeyCode::kP, false);
            } else if (world.mode == Mode::BossFight) {
                world.enemies[1].state = false; // the boss beaten
            } else {
                Hold(KeyCode::kEscape, true); // given up
            }
            break;
        case Mode::Paused:
            Hold(KeyCode::kP, !held_[KeyCode::kP]); // let go, then press again to go on
            break;
        case Mode::Interlude:
            Hold(KeyCode::kReturn, true);
            break;
        case Mode::GameOver:
            Hold(KeyCode::kEscape, false);
            Click(L::kSave);
            break;
        case Mode::NameEntry:
            if (saved_) {
                titleAfterSave = Display::Run::Title();
            }
            Apply(InputEvent::KeyDown, KeyCode::kReturn);
            Apply(InputEvent::KeyUp, KeyCode::kReturn);
            saved_ = true;
            break;
        }
    }

  private:
    static constexpr std::uint64_t kMostSyncs = 200'000;
    std::uint64_t syncs_ = 0;
    static constexpr std::array<L::Rect, 6> kMenuPlan{
        L::kMenuButtons[0].rect, L::kMenuButtons[2].rect, L::kMenuButtons[3].rect,
        L::kMenuButtons[4].rect, L::kMenuButtons[1].rect, L::kMenuButtons[5].rect};

    static void Apply(InputEvent::Kind kind, std::uint32_t code = 0, std::int32_t x = 0,
                      std::int32_t y = 0) {
        Display::Run::Apply({0, kind, code, x, y, {}});
    }
    void Click(const L::Rect& r) {
        Apply(InputEvent::MouseMove, 0, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
        Apply(InputEvent::MouseDown);
        mouseDown_ = true;
    }
    void Hold(std::uint32_t key, bool down) {
        if (held_[key] != down) {
            held_[key] = down;
            Apply(down ? InputEvent::KeyDown : InputEvent::KeyUp, key);
        }
    }

    std::size_t next_ = 0;
    bool mouseDown_ = false;
    bool saved_ = false;
    std::array<bool, 2> pausedIn_{}; // boss fight, wave
    std::array<bool, 256> held_{};
};

class GameMode : public Fixture {
  protected:
    void SetUp() override {
        if (!std::filesystem::exists("Media")) {
            GTEST_SKIP() << "no pictures in the working directory";
        }
        Fixture::SetUp();
        Game::options.practice.boss = true;
    }
    void TearDown() override {
        Game::options.practice.boss = false;
        Fixture::TearDown();
    }
};

} // namespace

TEST_F(GameMode, EachScreenAndLoopSetsItsOwnAndTheTitleIsOnlyShown) {
    ModePlayer player;
    Display::Run::SetSyncHook([&player] { player.OnSync(); });
    testing::internal::CaptureStdout();
    const bool ended = Program::Play(); // by its End button, not for want of input
    testing::internal::GetCapturedStdout();
    Display::Run::SetSyncHook({});
    ASSERT_TRUE(ended);
    const std::vector<Mode> expected{
        Mode::Menu,       Mode::Story,     Mode::Menu,      Mode::Options, Mode::Menu,
        Mode::Highscores, Mode::Menu,      Mode::Credits,   Mode::Menu,    Mode::BossFight,
        Mode::Paused,     Mode::BossFight, Mode::Interlude, Mode::Wave,    Mode::Paused,
        Mode::Wave,       Mode::GameOver,  Mode::NameEntry, Mode::Menu,
    };
    EXPECT_EQ(player.seen, expected);
    // The save answers with the table, still within the name entry, and the
    // next Return goes on to the menu.
    EXPECT_EQ(player.titleAfterSave, L::kTitleHighscore);
}
