// The menu and the screens driven from the keyboard (a controller's d-pad and
// A are the same keys): arrows light a button, Return or space choose it.
#include "ScreenRun.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/screens/Focus.h"
#include "game/screens/Layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

using namespace Morvek;
using namespace ScreenRun;
namespace L = Morvek::Layout;

namespace KeyCode = Display::KeyCode;

namespace {

// Keys pressed one after another, each held for 40 ms, 100 ms apart.
class Keys : public Fixture {
  protected:
    void SetUp() override { Fixture::SetUp(); }
    std::uint64_t Press(std::uint32_t code, std::uint64_t hold = 40) {
        at += 100;
        events.push_back({at, InputEvent::KeyDown, code, 0, 0, {}});
        events.push_back({at + hold, InputEvent::KeyUp, code, 0, 0, {}});
        return at;
    }
    // Takes the frame colour of `r`'s corner `ms` into the run.
    void FrameAt(std::uint64_t ms, const L::Rect& r) { watched.push_back({ms, r, std::nullopt}); }
    std::vector<std::uint32_t> Frames() const {
        std::vector<std::uint32_t> colours;
        for (const auto& w : watched) {
            colours.push_back(w.colour.value_or(0xDEAD));
        }
        return colours;
    }
    // Keeps the captions shown and the frames asked for; `more` runs at every sync point too.
    void Watch(std::function<void(std::uint64_t)> more = nullptr) {
        const std::uint64_t start = Display::Run::ClockMs();
        Display::Run::SetSyncHook([this, start, more] {
            const std::uint64_t ms = Display::Run::ClockMs() - start;
            if (titles.empty() || titles.back() != Display::Run::Title()) {
                titles.push_back(Display::Run::Title());
            }
            for (auto& w : watched) {
                if (ms >= w.ms && !w.colour) {
                    w.colour = FrameColour(w.rect.x1, w.rect.y1);
                }
            }
            if (more) {
                more(ms);
            }
        });
    }
    struct Watched {
        std::uint64_t ms;
        L::Rect rect;
        std::optional<std::uint32_t> colour;
    };
    std::uint64_t at = 0;
    Events events;
    std::vector<Watched> watched;
    std::vector<std::string> titles;
};

constexpr std::uint32_t kGreen = L::kHighlight;
constexpr std::uint32_t kBlack = L::kBlack;

} // namespace

TEST_F(Keys, EveryMainMenuButtonIsReachedAndChosen) {
    Press(KeyCode::kDown); // lights Story
    FrameAt(at + 50, L::kMenuButtons[0].rect);
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown); // the story opens unlit: an arrow lights Return
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown); // the menu opens unlit; the first arrow lights Story again
    Press(KeyCode::kDown); // New game
    Press(KeyCode::kReturn);
    at += 1000;
    Press(KeyCode::kEscape, 100); // give up: game over, where nothing is lit
    Press(KeyCode::kLeft);        // lights Return
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown); // New game, lit last here
    Press(KeyCode::kDown); // Options
    FrameAt(at + 50, L::kMenuButtons[2].rect);
    FrameAt(at + 50, L::kMenuButtons[1].rect);
    Press(KeyCode::kReturn);
    Press(KeyCode::kUp); // Easy is lit first, and at the top already
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown);
    Press(KeyCode::kDown);
    Press(KeyCode::kReturn); // Return
    Press(KeyCode::kDown);   // Options again
    Press(KeyCode::kDown);   // Highscore
    Press(KeyCode::kSpace);
    Press(KeyCode::kDown);
    Press(KeyCode::kSpace);
    Press(KeyCode::kDown); // Highscore
    Press(KeyCode::kDown); // Credits
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown);
    Press(KeyCode::kReturn);
    Press(KeyCode::kDown);
    Press(KeyCode::kDown);
    Press(KeyCode::kDown); // still End, the last
    Press(KeyCode::kReturn);
    Watch();
    ASSERT_TRUE(PlayProgram(events)) << "ended by its End button";
    EXPECT_EQ(titles, (std::vector<std::string>{"Morvek", "Story", "Morvek", "Game Over", "Morvek",
                                                "Options", "Morvek", "Highscore", "Morvek",
                                                "Credits", "Morvek"}));
    EXPECT_EQ(world.difficulty, Difficulty::Easy);
    EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{kGreen, kGreen, kBlack}));
}

TEST_F(Keys, EveryOptionIsReachedAndChosen) {
    Press(KeyCode::kRight); // lights Easy
    Press(KeyCode::kRight);
    Press(KeyCode::kRight); // Hard
    FrameAt(at + 50, L::kChoices[2].rect);
    FrameAt(at + 50, L::kChoices[1].rect);
    Press(KeyCode::kRight); // nothing further right
    Press(KeyCode::kReturn);
    const std::uint64_t hard = at + 50;
    Press(KeyCode::kDown); // the nearest of the row below: Fast
    Press(KeyCode::kSpace);
    const std::uint64_t fast = at + 50;
    Press(KeyCode::kLeft); // Slow
    Press(KeyCode::kReturn);
    const std::uint64_t slow = at + 50;
    Press(KeyCode::kUp); // Easy
    Press(KeyCode::kRight);
    Press(KeyCode::kReturn); // Normal
    const std::uint64_t normal = at + 50;
    Press(KeyCode::kDown);
    Press(KeyCode::kDown); // Return
    FrameAt(at + 50, L::kReturn);
    Press(KeyCode::kReturn);
    std::map<std::uint64_t, std::pair<Difficulty, std::uint32_t>> settings;
    Watch([&](std::uint64_t ms) {
        for (const std::uint64_t t : {hard, fast, slow, normal}) {
            if (ms >= t && !settings.contains(t)) {
                settings[t] = {world.difficulty, world.tickMs};
            }
        }
    });
    world.difficulty = Difficulty::Normal;
    world.tickMs = 30;
    ASSERT_TRUE(Play(events, OptionsScene{}));
    EXPECT_EQ(settings[hard], std::make_pair(Difficulty::Hard, 30u));
    EXPECT_EQ(settings[fast], std::make_pair(Difficulty::Hard, 30u));
    EXPECT_EQ(settings[slow], std::make_pair(Difficulty::Hard, 60u));
    EXPECT_EQ(settings[normal], std::make_pair(Difficulty::Normal, 60u));
    EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{kGreen, kBlack, kGreen}));
}

TEST_F(Keys, TheMouseKeepsItsOwnWayAndPutsTheLightOut) {
    // No key: nothing is lit and Return does nothing; a click still works.
    Press(KeyCode::kReturn);
    FrameAt(at + 50, L::kChoices[0].rect);
    Press(KeyCode::kDown); // lights Easy
    FrameAt(at + 50, L::kChoices[0].rect);
    at += 100;
    events.push_back(Move(at, 5, 5));
    FrameAt(at + 50, L::kChoices[0].rect);
    Press(KeyCode::kReturn); // nothing lit: chooses nothing
    at += 100;
    events.push_back(Move(at, 100, 700));
    events.push_back(Down(at + 20));
    Watch();
    ASSERT_TRUE(Play(events, OptionsScene{}));
    EXPECT_EQ(world.difficulty, Difficulty::Easy); // as Fresh left it
    EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{kBlack, kGreen, kBlack}));
}

TEST_F(Keys, OneButtonIsLitAtATimeAndNoneWhenAScreenOpens) {
    // A game started with the mouse, given up, left from the keyboard: the
    // mouse still rests on New game when the menu comes back.
    events.push_back(Move(20, 150, 175));
    events.push_back(Down(40));
    events.push_back(Up(60));
    at = 1000;
    Press(KeyCode::kEscape, 100);
    Press(KeyCode::kLeft);
    Press(KeyCode::kReturn);
    FrameAt(at + 80, L::kMenuButtons[1].rect); // unlit until the player acts
    Press(KeyCode::kDown);                     // lights Story ...
    FrameAt(at + 50, L::kMenuButtons[0].rect);
    FrameAt(at + 50, L::kMenuButtons[1].rect); // ... and nothing else
    at += 100;
    events.push_back(Move(at, 150, 180)); // the mouse takes over
    FrameAt(at + 50, L::kMenuButtons[0].rect);
    FrameAt(at + 50, L::kMenuButtons[1].rect);
    events.push_back(Close(at + 200));
    Watch();
    EXPECT_FALSE(PlayProgram(events));
    EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{kBlack, kGreen, kBlack, kBlack, kGreen}));
}

TEST_F(Keys, TheNameEntryKeepsEveryKeyItTypesFrom) {
    // The arrow that lights Return is not a letter and takes none; Return saves.
    Press('K');
    Press(KeyCode::kDown);
    Press('A');
    Press(KeyCode::kReturn);
    Press(KeyCode::kReturn); // on from the table the save shows
    world.score = 500;
    ASSERT_TRUE(Play(events, NameEntryScene{}));
    EXPECT_EQ(std::string(world.scores[1].name.data(), 7), "KA     ");
    EXPECT_EQ(world.scores[1].points, 500u);
}

TEST_F(Keys, GameOverStartsUnlitSoAShotMeantForPlayChoosesNothing) {
    // The keyboard was in charge in the menu (Options lit)...
    Press(KeyCode::kDown);
    ASSERT_TRUE(Hold(events, OptionsScene{}, at + 100));
    // ... and the dragon dies while the player keeps firing and pressing Return.
    events.clear();
    at = 0;
    Press(KeyCode::kSpace);
    Press(KeyCode::kReturn);
    EXPECT_TRUE(Hold(events, GameOverScene{}, at + 100)) << "still up";
    // An arrow lights Return first; only then does a key choose it.
    events.clear();
    at = 0;
    Press(KeyCode::kLeft);
    Press(KeyCode::kReturn);
    EXPECT_TRUE(Finish(events));
}

// Escape does what a screen's Return button does, on every screen of the
// menu; on the Controls screen it first cancels a question, and only a
// second press leaves.
TEST_F(Keys, EscapeLeavesEachScreenAsItsReturnButtonDoes) {
    const auto click = [this](const L::Rect& r) {
        at += 100;
        events.push_back(Move(at, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2));
        events.push_back(Down(at + 20));
        events.push_back(Up(at + 60));
    };
    for (const std::size_t button : {0u, 2u, 3u, 4u}) { // Story, Options, Highscore, Credits
        click(L::kMenuButtons[button].rect);
        Press(KeyCode::kEscape);
    }
    click(L::kMenuButtons[2].rect); // Options, then Controls
    at += 200;
    click(L::kControlsButton);
    at += 200;
    click(L::ControlsRow(1)); // asks for a key ...
    at += 200;
    Press(KeyCode::kEscape, 300); // ... and Escape, held long, only cancels
    at += 400;
    Press(KeyCode::kEscape); // leaves Controls for Options
    at += 200;
    Press(KeyCode::kEscape); // leaves Options for the menu
    events.push_back(Close(at + 300));
    Watch();
    EXPECT_FALSE(PlayProgram(events));
    const std::vector<std::string> expected{"Morvek",    "Story",   "Morvek",  "Options", "Morvek",
                                            "Highscore", "Morvek",  "Credits", "Morvek",  "Options",
                                            "Controls",  "Options", "Morvek"};
    EXPECT_EQ(titles, expected);
}
