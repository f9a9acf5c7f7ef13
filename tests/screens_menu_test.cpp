#include "ScreenRun.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Step.h"
#include "game/core/StateDump.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"
#include "game/screens/NewGame.h"
#include "game/screens/Screen.h"
#include "game/screens/StoryCredits.h"

#include <gtest/gtest.h>

using namespace Morvek;
using namespace ScreenRun;
namespace L = Morvek::Layout;

namespace {

class Menu : public Fixture {};

constexpr std::uint32_t kGreen = L::kHighlight;
constexpr std::uint32_t kWhite = L::kWhite;

} // namespace

// Whether a button at (100, 50)-(250, 100) is clicked with the mouse at (x, y).
bool ClickedAt(std::int32_t x, std::int32_t y) {
    world.mouseX = x;
    world.mouseY = y;
    return Screen::Clicked({100, 50, 250, 100});
}

TEST_F(Menu, ButtonIncludesItsEdgesAndFramesWhatIsUnderTheMouse) {
    Display::Rectangle(0, 0, 1023, 767, kWhite, true);
    // Over it, button up: framed green, no click.
    EXPECT_FALSE(ClickedAt(100, 50));
    EXPECT_EQ(FrameColour(100, 50), kGreen);
    EXPECT_EQ(FrameColour(250, 100), kGreen);
    EXPECT_EQ(FrameColour(101, 51), kWhite);

    Display::Run::Apply(Down(0));
    EXPECT_TRUE(ClickedAt(100, 50));
    EXPECT_TRUE(ClickedAt(250, 100));
    EXPECT_FALSE(ClickedAt(251, 75));
    EXPECT_FALSE(ClickedAt(175, 49));
    EXPECT_EQ(FrameColour(100, 50), 0u) << "moving off restores the black frame";
    EXPECT_EQ(FrameColour(250, 100), 0u);
}

TEST_F(Menu, EntryOpensTheWindowSetsTheOptionsAndEndsAtEnd) {
    Events e{Move(20, 150, 275),  Down(20),  Up(40),  // Options
             Move(50, 300, 300),  Down(60),  Up(80),  // Easy
             Move(90, 60, 700),   Down(100), Up(120), // Return
             Move(140, 150, 575), Down(160)};         // End
    testing::internal::CaptureStdout();
    const bool returned = PlayProgram(e);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
    ASSERT_TRUE(returned) << "the End button, not the run, ended it";
    EXPECT_FALSE(Display::Run::EndAsked());
    EXPECT_EQ(world.difficulty, Difficulty::Easy);
    EXPECT_EQ(world.tickMs, 30u);
    EXPECT_GE(Display::Run::ClockMs(), 160u);
    // The window is gone: nothing is drawn any more.
    EXPECT_FALSE(Display::MouseLeft());
}

TEST_F(Menu, EntryShowsTheMenuWithDefaultsUntilAButtonIsClicked) {
    Events e{Move(20, 101, 51), Close(200)};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(PlayProgram(e));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(Display::Run::EndAsked(), 0);
    ASSERT_EQ(world.scenes.Size(), 1u) << "the menu alone";
    EXPECT_TRUE(std::holds_alternative<MenuScene>(world.scenes.Top()));
    EXPECT_EQ(world.mode, Mode::Menu);
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_EQ(world.difficulty, Difficulty::Normal);
    EXPECT_EQ(world.tickMs, 30u);
    EXPECT_EQ(FrameColour(100, 50), kGreen) << "the Story button is under the mouse";
    for (const auto& b : L::kMenuButtons) {
        if (b.number != L::kButtonStory) {
            EXPECT_EQ(FrameColour(b.rect.x2, b.rect.y2), 0u) << "button " << b.number;
        }
    }
}

struct ScreenCase {
    const char* caption;
    Scene scene;
};

class Screens : public Fixture, public testing::WithParamInterface<ScreenCase> {};

TEST_P(Screens, CaptionWhileShownKeysIgnoredReturnLeaves) {
    const ScreenCase c = GetParam();
    Events shown;
    Key(shown, 10, 13);
    Key(shown, 10, 27);
    Key(shown, 10, 'A');
    shown.push_back(Move(30, 60, 700));
    EXPECT_TRUE(Hold(shown, c.scene, 100)) << "only the Return button leaves";
    EXPECT_EQ(Display::Run::Title(), c.caption);
    EXPECT_EQ(FrameColour(50, 650), kGreen);

    TestWorld::Fresh();
    Events away{Move(20, 60, 700), Move(40, 171, 700)};
    EXPECT_TRUE(Hold(away, c.scene, 100));
    EXPECT_EQ(FrameColour(50, 650), 0u);

    TestWorld::Fresh();
    Events leave{Move(20, 60, 700), Down(60)};
    ASSERT_TRUE(Play(leave, c.scene));
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_GE(Display::Run::ClockMs(), 60u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryScreen, Screens,
    testing::Values(ScreenCase{"Story", ReturnScene{.screen = Mode::Story}},
                    ScreenCase{"Credits", ReturnScene{.screen = Mode::Credits}},
                    ScreenCase{"Highscore", ReturnScene{.screen = Mode::Highscores}},
                    ScreenCase{"Options", OptionsScene{}}));

TEST_F(Menu, OptionsShowTheCurrentChoicesAndKeepNewOnes) {
    // Each picture of a choice in a colour of its own.
    std::uint32_t colour = 0x101010;
    for (const auto& c : L::kChoices) {
        for (const auto p : {c.selected, c.unselected}) {
            world.pictures[p] = {Solid(colour, 120, 75)};
            colour += 0x101010;
        }
    }
    const auto expectShown = [](std::initializer_list<bool> selected) {
        std::size_t i = 0;
        for (const bool sel : selected) {
            const auto& c = L::kChoices[i++];
            const auto want = sel ? c.selected : c.unselected;
            // Draw the expected picture elsewhere and compare colours.
            Display::DrawBitmap(PictureNumber(want), 0, 0);
            EXPECT_EQ(Display::GetPixel(static_cast<std::uint32_t>(c.rect.x1 + 10),
                                        static_cast<std::uint32_t>(c.rect.y1 + 10)),
                      Display::GetPixel(5, 5))
                << "choice " << i;
        }
    };
    world.difficulty = Difficulty::Normal;
    world.tickMs = 30;
    EXPECT_TRUE(Hold({}, OptionsScene{}, 20));
    expectShown({false, true, false, false, true});

    Events e{Move(20, 300, 300), Down(40), Up(60), Move(70, 330, 540), Down(80), Up(100),
             Move(110, 60, 700), Down(120)};
    ASSERT_TRUE(Play(e, OptionsScene{}));
    EXPECT_EQ(world.difficulty, Difficulty::Easy);
    EXPECT_EQ(world.tickMs, 60u);

    Display::Run::Apply(Up(0));
    EXPECT_TRUE(Hold({}, OptionsScene{}, 20));
    expectShown({true, false, false, true, false});

    Events hard{Move(20, 790, 330), Down(40)}; // held on Hard's far corner
    EXPECT_TRUE(Hold(hard, OptionsScene{}, 200));
    EXPECT_EQ(world.difficulty, Difficulty::Hard);
    expectShown({false, false, true, true, false});
}

TEST_F(Menu, HighscoreScreenReadsTheFileEachVisit) {
    std::ofstream(Morvek::scorefile, std::ios::binary) << "FIREFLY1520 ASH    980";
    EXPECT_TRUE(Hold({}, ReturnScene{.screen = Mode::Highscores}, 20));
    EXPECT_EQ(std::string(world.scores[2].name.begin(), world.scores[2].name.end()), "ASH    ");
    EXPECT_EQ(world.scores[2].points, 980u);
    EXPECT_EQ(world.scores[3].points, 0u);

    std::filesystem::remove(Morvek::scorefile);
    EXPECT_TRUE(Hold({}, ReturnScene{.screen = Mode::Highscores}, 20));
    EXPECT_EQ(world.scores[1].points, 0u);
    EXPECT_EQ(std::string(world.scores[1].name.begin(), world.scores[1].name.end()), "       ");
}

TEST_F(Menu, TheTitleStandsClearOfTheButtonsAndTheMoon) {
    constexpr std::uint32_t kBack = 0x203040;
    const auto& back = L::kMenuBack;
    world.pictures[back] = {Solid(kBack, 1024, 768)};
    DrawMenu();
    // Where the title's colour shows on the frame.
    std::int32_t x0 = 1024, x1 = -1, y0 = 768, y1 = -1;
    for (std::int32_t y = 0; y < 768; ++y) {
        for (std::int32_t x = 0; x < 1024; ++x) {
            if (FrameColour(x, y) == L::kMenuTitle.colour) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
        }
    }
    ASSERT_GE(x1, 0) << "no title";
    EXPECT_GT(x1 - x0, 200) << "large enough to read";
    EXPECT_GT(x0, L::kMenuButtons[0].rect.x2 + 50);
    EXPECT_LT(x1, 760) << "the moon and the dragon start there";
    EXPECT_LT(y1, 150);
}

TEST_F(Menu, HighscoreRowsAreNumberedAndEmptyPlacesShowADash) {
    constexpr std::uint32_t kBack = 0x203040;
    const auto& back = L::kMenuBack;
    world.pictures[back] = {Solid(kBack, 1024, 768)};
    std::ofstream(Morvek::scorefile, std::ios::binary) << "FIREFLY1520 ASH    980";
    EXPECT_TRUE(Hold({}, ReturnScene{.screen = Mode::Highscores}, 20));
    // Pixels other than the background in a text-sized box at (x, row's y).
    const auto ink = [](std::int32_t x, std::int32_t w, std::uint32_t place) {
        int n = 0;
        const std::int32_t y = L::HighscoreRowY(place);
        for (std::int32_t yy = y; yy < y + 20; ++yy) {
            for (std::int32_t xx = x; xx < x + w; ++xx) {
                n += FrameColour(xx, yy) != kBack ? 1 : 0;
            }
        }
        return n;
    };
    for (std::uint32_t place = 1; place <= 10; ++place) {
        EXPECT_GT(ink(L::kHighscoreRankX, L::kHighscoreNameX - L::kHighscoreRankX - 4, place), 0)
            << place;
    }
    EXPECT_GT(ink(L::kHighscoreScoreX, 60, 2), 0);
    for (const std::uint32_t empty : {3u, 10u}) {
        EXPECT_EQ(ink(L::kHighscoreScoreX, 60, empty), 0) << "no 0 for an empty place";
        EXPECT_GT(ink(L::kHighscoreNameX, 20, empty), 0) << "a dash instead";
        EXPECT_LT(ink(L::kHighscoreNameX, 100, empty), ink(L::kHighscoreNameX, 100, 2));
    }
}

TEST_F(Menu, NewGameReadsTheTableAndAGameGivenUpComesBackToTheMenu) {
    const std::string table = "FIREFLY1520 ASH    980";
    std::ofstream(Morvek::scorefile, std::ios::binary) << table;
    world.difficulty = Difficulty::Hard;
    world.tickMs = 60;
    world.score = 99;
    NewGame();
    EXPECT_EQ(world.scores[1].points, 1520u);
    EXPECT_EQ(world.scores[3].points, 0u);
    EXPECT_EQ(world.score, 0u);
    EXPECT_EQ(world.dragon.upgrade, 1u);
    // The menu's New game leaves this stack.
    world.scenes.Push(MenuScene{.gameOn = true});
    world.scenes.Push(GameScene{});
    Display::Run::Apply({0, InputEvent::KeyDown, 27, 0, 0, {}});
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::GameOver; }));
    EXPECT_EQ(Display::Run::Title(), "Game Over");

    Display::Run::Apply(Move(0, 60, 700));
    Display::Run::Apply(Down(0));
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::Menu; }));
    EXPECT_EQ(world.scenes.Size(), 1u) << "nothing of the game is left";
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_EQ(ReadFile(Morvek::scorefile), table);
    // The options hold for every game until changed.
    EXPECT_EQ(world.difficulty, Difficulty::Hard);
    EXPECT_EQ(world.tickMs, 60u);
}

// The menu as the program starts it: Start, then steps.
class MenuSteps : public Fixture {
  protected:
    void SetUp() override {
        Fixture::SetUp();
        testing::internal::CaptureStdout(); // Start's empty line
        Start(world);
        testing::internal::GetCapturedStdout();
    }
};

TEST_F(MenuSteps, AfterALostGameTheMenuIsAloneAndStartsTheNextGameAfresh) {
    Events e{Move(20, 150, 175), Down(40), Up(60)}; // New game
    e.push_back({1000, InputEvent::KeyDown, 27, 0, 0, {}});
    e.push_back({1100, InputEvent::KeyUp, 27, 0, 0, {}});
    Script(e);
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::GameOver; }));
    // The game over lies above the battle it ended and the game below that.
    ASSERT_EQ(world.scenes.Size(), 4u);
    EXPECT_TRUE(std::holds_alternative<MenuScene>(world.scenes.At(0)));
    EXPECT_TRUE(std::holds_alternative<GameScene>(world.scenes.At(1)));
    EXPECT_TRUE(std::holds_alternative<BattleScene>(world.scenes.At(2)));
    EXPECT_TRUE(std::holds_alternative<GameOverScene>(world.scenes.At(3)));
    EXPECT_EQ(StateDump::StateJson().find("\"returnmenu\":true"), std::string::npos);

    Display::Run::Apply(Move(0, 60, 700));
    Display::Run::Apply(Down(0));
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::Menu; }));
    Display::Run::Apply(Up(0));
    ASSERT_EQ(world.scenes.Size(), 1u);
    EXPECT_TRUE(std::holds_alternative<MenuScene>(world.scenes.Top()));
    EXPECT_NE(StateDump::StateJson().find("\"returnmenu\":true"), std::string::npos);

    // The menu works as before, and the next game starts from its first level.
    Display::Run::Apply(Move(0, 150, 175));
    Display::Run::Apply(Down(0));
    ASSERT_TRUE(Steps::Until([] { return world.mode == Mode::Wave; }, 100));
    Display::Run::Apply(Up(0));
    EXPECT_EQ(world.scenes.Size(), 3u);
    EXPECT_EQ(world.level, 1u);
    EXPECT_EQ(world.dragon.lives, 4);
}

TEST_F(MenuSteps, TheEndButtonMakesTheStepQuitAndNothingElseDoes) {
    // Every other button opens its screen and comes back: none of them quits.
    Script({Move(20, 150, 75),   Down(40),  Up(60),  Move(80, 60, 700),  Down(100), Up(120),
            Move(140, 150, 375), Down(160), Up(180), Move(200, 60, 700), Down(220), Up(240),
            Move(260, 150, 475), Down(280), Up(300), Move(320, 60, 700), Down(340), Up(360),
            Move(400, 150, 575), Down(420)});
    Wait wait{};
    std::vector<Mode> shown;
    for (int step = 0; step < 1000; ++step) {
        wait = Step(world);
        if (wait.kind == Wait::Kind::Quit) {
            break;
        }
        if (shown.empty() || shown.back() != world.mode) {
            shown.push_back(world.mode);
        }
        Display::UpdateWindow();
        Program::Perform(wait);
        ASSERT_FALSE(Display::Run::EndAsked());
    }
    ASSERT_EQ(wait.kind, Wait::Kind::Quit);
    EXPECT_GE(Display::Run::ClockMs(), 420u);
    EXPECT_FALSE(Display::Run::WindowOpen());
    EXPECT_EQ(shown, (std::vector<Mode>{Mode::Menu, Mode::Story, Mode::Menu, Mode::Highscores,
                                        Mode::Menu, Mode::Credits, Mode::Menu}));
}

// The Story screen names the keys as they are bound now: the default keys in
// the words the screen always used, a rebound key by its new name.
TEST(StoryKeys, NameTheKeysAsBoundAndPauseSoundAndMagicToo) {
    namespace Keys = Display::Bindings;
    const auto plain = StoryKeyLines(Keys::Defaults());
    EXPECT_EQ(plain[0], "Use arrows for moving");
    EXPECT_EQ(plain[1], "Space to fire");
    EXPECT_EQ(plain[4], "P to pause");
    EXPECT_NE(plain[5].find('M'), std::string::npos);
    EXPECT_NE(plain[7].find("Magic"), std::string::npos);

    Keys::Table table = Keys::Defaults();
    ASSERT_TRUE(Keys::Bind(table, 0, 'A'));                   // left
    ASSERT_TRUE(Keys::Bind(table, 4, 'Z'));                   // fire
    ASSERT_TRUE(Keys::Bind(table, 7, Display::KeyCode::kF1)); // pause
    const auto bound = StoryKeyLines(table);
    EXPECT_EQ(bound[0], "Use A/Up/Right/Down for moving");
    EXPECT_EQ(bound[1], "Z to fire");
    EXPECT_EQ(bound[4], Keys::KeyName(Display::KeyCode::kF1) + " to pause");
}
