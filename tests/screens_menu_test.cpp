#include "ScreenRun.h"
#include "game/screens/Options.h"
#include "game/screens/StoryCredits.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/Game.h"
#include "game/core/World.h"
#include "game/screens/Highscore.h"
#include "game/screens/Layout.h"
#include "game/screens/Menu.h"

#include <gtest/gtest.h>

using namespace Morvek;
using namespace ScreenRun;
namespace L = Morvek::Layout;

namespace {

class Menu : public Fixture {};

constexpr std::uint32_t kGreen = L::kHighlight;
constexpr std::uint32_t kWhite = L::kWhite;

} // namespace

TEST_F(Menu, ButtonIncludesItsEdgesAndFramesWhatIsUnderTheMouse) {
    Display::Rectangle(0, 0, 1023, 767, kWhite, true);
    // Over it, button up: framed green, no click.
    EXPECT_FALSE(MenuSelect(100, 50, 100, 50, 250, 100, 0));
    EXPECT_EQ(FrameColour(100, 50), kGreen);
    EXPECT_EQ(FrameColour(250, 100), kGreen);
    EXPECT_EQ(FrameColour(101, 51), kWhite);

    Display::Run::Apply(Down(0));
    EXPECT_TRUE(MenuSelect(100, 50, 100, 50, 250, 100, 0));
    EXPECT_TRUE(MenuSelect(250, 100, 100, 50, 250, 100, 0));
    EXPECT_FALSE(MenuSelect(251, 75, 100, 50, 250, 100, 0));
    EXPECT_FALSE(MenuSelect(175, 49, 100, 50, 250, 100, 0));
    EXPECT_EQ(FrameColour(100, 50), 0u) << "moving off restores the black frame";
    EXPECT_EQ(FrameColour(250, 100), 0u);
}

TEST_F(Menu, EntryOpensTheWindowSetsTheOptionsAndEndsAtEnd) {
    Events e{Move(20, 150, 275),  Down(20),  Up(40),  // Options
             Move(50, 300, 300),  Down(60),  Up(80),  // Easy
             Move(90, 60, 700),   Down(100), Up(120), // Return
             Move(140, 150, 575), Down(160)};         // End
    testing::internal::CaptureStdout();
    const bool returned = Play(e, Game::main);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n");
    ASSERT_TRUE(returned);
    EXPECT_TRUE(world.quitGame);
    EXPECT_EQ(world.difficulty, Difficulty::Easy);
    EXPECT_EQ(world.tickMs, 30u);
    EXPECT_GE(Display::Run::ClockMs(), 160u);
    // The window is gone: nothing is drawn any more.
    EXPECT_FALSE(Display::MouseLeft());
}

TEST_F(Menu, EntryShowsTheMenuWithDefaultsUntilAButtonIsClicked) {
    Events e{Move(20, 101, 51), Close(200)};
    EXPECT_FALSE(Play(e, Game::main));
    EXPECT_FALSE(world.quitGame);
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
    void (*show)();
};

class Screens : public Fixture, public testing::WithParamInterface<ScreenCase> {};

TEST_P(Screens, CaptionWhileShownKeysIgnoredReturnLeaves) {
    const ScreenCase c = GetParam();
    Events shown;
    Key(shown, 10, 13);
    Key(shown, 10, 27);
    Key(shown, 10, 'A');
    shown.push_back(Move(30, 60, 700));
    shown.push_back(Close(100));
    EXPECT_FALSE(Play(shown, c.show)) << "only the Return button leaves";
    EXPECT_EQ(Display::Run::Title(), c.caption);
    EXPECT_EQ(FrameColour(50, 650), kGreen);

    TestWorld::Fresh();
    Events away{Move(20, 60, 700), Move(40, 171, 700), Close(100)};
    EXPECT_FALSE(Play(away, c.show));
    EXPECT_EQ(FrameColour(50, 650), 0u);

    TestWorld::Fresh();
    Events leave{Move(20, 60, 700), Down(60)};
    ASSERT_TRUE(Play(leave, c.show));
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_GE(Display::Run::ClockMs(), 60u);
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, Screens,
                         testing::Values(ScreenCase{"Story", Story}, ScreenCase{"Credits", Credit},
                                         ScreenCase{"Highscore", HighscoreScreen},
                                         ScreenCase{"Options", OptionsScreen}));

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
    EXPECT_FALSE(Play({Close(20)}, OptionsScreen));
    expectShown({false, true, false, false, true});

    Events e{Move(20, 300, 300), Down(40), Up(60), Move(70, 330, 540), Down(80), Up(100),
             Move(110, 60, 700), Down(120)};
    ASSERT_TRUE(Play(e, OptionsScreen));
    EXPECT_EQ(world.difficulty, Difficulty::Easy);
    EXPECT_EQ(world.tickMs, 60u);

    Display::Run::Apply(Up(0));
    EXPECT_FALSE(Play({Close(20)}, OptionsScreen));
    expectShown({true, false, false, true, false});

    Events hard{Move(20, 790, 330), Down(40), Close(200)}; // held on Hard's far corner
    EXPECT_FALSE(Play(hard, OptionsScreen));
    EXPECT_EQ(world.difficulty, Difficulty::Hard);
    expectShown({false, false, true, true, false});
}

TEST_F(Menu, HighscoreScreenReadsTheFileEachVisit) {
    std::ofstream(Morvek::scorefile, std::ios::binary) << "FIREFLY1520 ASH    980";
    EXPECT_FALSE(Play({Close(20)}, HighscoreScreen));
    EXPECT_EQ(std::string(world.scores[2].name.begin(), world.scores[2].name.end()), "ASH    ");
    EXPECT_EQ(world.scores[2].points, 980u);
    EXPECT_EQ(world.scores[3].points, 0u);

    std::filesystem::remove(Morvek::scorefile);
    EXPECT_FALSE(Play({Close(20)}, HighscoreScreen));
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
    EXPECT_FALSE(Play({Close(20)}, HighscoreScreen));
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
    Events e{{0, Display::Run::InputEvent::KeyDown, 27, 0, 0, {}}, Move(0, 60, 700), Down(0)};
    for (auto& ev : e) {
        Display::Run::Apply(ev);
    }
    ASSERT_TRUE(Play({}, [] {
        world.returnToMenu = false;
        NewGame();
    }));
    EXPECT_TRUE(world.returnToMenu);
    EXPECT_EQ(world.scores[1].points, 1520u);
    EXPECT_EQ(world.scores[3].points, 0u);
    EXPECT_EQ(world.score, 0u);
    EXPECT_EQ(world.dragon.upgrade, 1u);
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_EQ(ReadFile(Morvek::scorefile), table);
    // The options hold for every game until changed.
    EXPECT_EQ(world.difficulty, Difficulty::Hard);
    EXPECT_EQ(world.tickMs, 60u);
}
