#include "ScreenRun.h"

#include "display/Display.h"
#include "display/Run.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/ScoreFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Morvek;
using namespace ScreenRun;

namespace {

// Ten places 100, 90, ... 10 under the names A to J.
const std::string kOldTable = "A      100 B      90 C      80 D      70 E      60 F      50 "
                              "G      40 H      30 I      20 J      10";

class GameOverScreen : public Fixture {
  protected:
    void SetUp() override {
        Fixture::SetUp();
        TestWorld::NewGameState();
        std::ofstream(scorefile, std::ios::binary) << kOldTable;
        ScoreFile::Read(scorefile, world.scores);
        world.score = 75;
        world.dragon.lives = 0;
        world.enemies[3].state = true; // the screen clears the field
    }
    // The screen as a lost wave opens it: above the level script.
    static Below LostWave() { return {GameScene{.at = GameScene::At::Waves, .wave = 1}}; }
    // Leaving the screen ended the game: its level closed, the next one set,
    // and no scene of it left.
    static bool GameEnded() { return world.scenes.Empty() && world.level == 2; }
    // The name entry as a game-over screen opens it.
    static Below Saving() { return {GameOverScene{.shown = true, .saved = false, .naming = true}}; }
    static std::size_t Count(const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) {
            ++n;
        }
        return n;
    }
};

// From the game-over screen to Save, then the keys of `typed` a few ms apart.
Events ToNameEntry(std::initializer_list<std::uint32_t> typed) {
    Events e{Move(20, 900, 700), Down(40), Up(60)};
    std::uint64_t ms = 80;
    for (const auto k : typed) {
        Key(e, ms, k);
        ms += 20;
    }
    return e;
}

} // namespace

TEST_F(GameOverScreen, SavedNameIsShownLitInTheTableAndReturnGoesOn) {
    Events e = ToNameEntry({'K', '3', 'A', 'X', 8, 'T'});
    e.push_back(Move(300, 60, 700));
    e.push_back(Down(320));
    Key(e, 340, 0x25); // any key lets the Return button be tested
    // The save answers with the table, the new row lit, however long the
    // saving click is held.
    EXPECT_TRUE(Hold(e, GameOverScene{}, 600, LostWave()));
    EXPECT_EQ(Display::Run::Title(), "Highscore");
    EXPECT_EQ(ReadFile(scorefile),
              "A      100 B      90 C      80 KAT    75 D      70 E      60 F      50 "
              "G      40 H      30 I      20");
    const auto lit = [](std::uint32_t place) {
        return FrameColour(Layout::kHighscoreLit.x1,
                           Layout::HighscoreRowY(place) + Layout::kHighscoreLit.y1);
    };
    EXPECT_EQ(lit(4), Layout::kHighlight);
    EXPECT_NE(lit(3), Layout::kHighlight);
    EXPECT_NE(lit(5), Layout::kHighlight);

    Events on{Up(700)};
    Key(on, 720, 13);
    ASSERT_TRUE(Finish(on));
    EXPECT_TRUE(GameEnded());
    EXPECT_EQ(Display::Run::Title(), "Morvek");
    EXPECT_FALSE(world.enemies[3].state);
    EXPECT_EQ(world.scores[4].points, 75u);
}

TEST_F(GameOverScreen, TheSavedTableIsLeftByAClickAnywhereOrEscapeButNotByALetter) {
    for (const bool click : {true, false}) {
        SCOPED_TRACE(click ? "click" : "Escape");
        TearDown();
        SetUp();
        Events e = ToNameEntry({'O', 'W', 'L'});
        Key(e, 200, 13);
        Key(e, 300, 'X');
        EXPECT_TRUE(Hold(e, GameOverScene{}, 500, LostWave()));
        EXPECT_EQ(Display::Run::Title(), "Highscore");
        Events on;
        if (click) {
            on = {Move(600, 500, 300), Down(620), Up(660)};
        } else {
            Key(on, 600, 0x1B);
        }
        ASSERT_TRUE(Finish(on));
        EXPECT_TRUE(GameEnded());
    }
}

TEST_F(GameOverScreen, SecondSaveAddsNothing) {
    Events e = ToNameEntry({'O', 'W', 'L'});
    e.push_back(Move(300, 60, 700));
    e.push_back(Down(320));
    Key(e, 340, 13);
    e.push_back(Up(341)); // applied after the save: the click ends there
    e.push_back(Move(350, 500, 500));
    e.push_back(Move(380, 900, 700)); // where Save stood, held a while
    e.push_back(Down(400));
    Key(e, 420, 'X');
    e.push_back(Up(500));
    e.push_back(Move(520, 60, 700));
    e.push_back(Down(540));
    ASSERT_TRUE(Play(e, GameOverScene{}, LostWave()));
    EXPECT_TRUE(GameEnded());
    const std::string file = ReadFile(scorefile);
    EXPECT_EQ(Count(file, "OWL    75"), 1u) << file;
    EXPECT_EQ(Count(file, " 75"), 1u) << file;
}

TEST_F(GameOverScreen, ReturnWithoutSavingLeavesTheFileAlone) {
    const auto before = std::filesystem::last_write_time(scorefile);
    EXPECT_TRUE(Hold({}, GameOverScene{}, 100, LostWave()));
    EXPECT_EQ(Display::Run::Title(), "Game Over");
    EXPECT_FALSE(world.enemies[3].state) << "the screen clears the field";
    EXPECT_EQ(world.level, 1u) << "the game waits for the screen";

    Events leave{Move(20, 170, 725), Down(40)};
    ASSERT_TRUE(Play(leave, GameOverScene{}, LostWave()));
    EXPECT_TRUE(GameEnded());
    EXPECT_EQ(ReadFile(scorefile), kOldTable);
    EXPECT_EQ(std::filesystem::last_write_time(scorefile), before);
}

TEST_F(GameOverScreen, ReturnHeldAndANonLetterSavesSevenBlanks) {
    world.score = 95;
    Display::Run::Apply(Move(0, 60, 700));
    Display::Run::Apply(Down(0));
    Events e;
    Key(e, 20, 0x20);
    e.push_back(Up(40));
    Key(e, 60, 13); // on from the table
    ASSERT_TRUE(Play(e, NameEntryScene{}, Saving()));
    EXPECT_EQ(ReadFile(scorefile).substr(0, 22), "A      100        95 B");
}

TEST_F(GameOverScreen, NameEntryTakesSevenLettersAndLeavesNoKeysBehind) {
    Events e;
    std::uint64_t ms = 20;
    for (const char c : std::string("ABCDEFGHI")) {
        Key(e, ms, static_cast<std::uint32_t>(c));
        ms += 10;
    }
    EXPECT_TRUE(Hold(e, NameEntryScene{}, ms + 100));
    EXPECT_EQ(Display::Run::Title(), "Game Over - Save");
    EXPECT_EQ(
        std::string(world.scores[kResultPlace].name.begin(), world.scores[kResultPlace].name.end()),
        "ABCDEFG");

    TestWorld::NewGameState();
    ScoreFile::Read(scorefile, world.scores);
    world.score = 75;
    e.push_back(Move(ms + 10, 60, 700));
    e.push_back(Down(ms + 30));
    e.push_back(Up(ms + 50));
    e.push_back(Down(ms + 70)); // on from the table
    ASSERT_TRUE(Play(e, NameEntryScene{}));
    EXPECT_EQ(ReadFile(scorefile).substr(0, 21), "A      100 B      90 ");
    EXPECT_NE(ReadFile(scorefile).find("ABCDEFG75"), std::string::npos);
    // H and I were never read and went with the flush.
    Display::Run::Apply({0, Display::Run::InputEvent::KeyDown, 'Z', 0, 0, {}});
    EXPECT_EQ(Display::TakeKey(), static_cast<std::uint32_t>('Z'));
    EXPECT_EQ(Display::TakeKey(), 0u);
}

TEST_F(GameOverScreen, FailedSaveLeavesTheTableAndSaveCanBeTriedAgain) {
    const std::string good = scorefile;
    scorefile = (dir / "missing" / "myscore.txt").string();
    const auto table = world.scores;
    Events e = ToNameEntry({'E', 'L', 'M'});
    e.push_back(Move(300, 60, 700));
    e.push_back(Down(320));
    Key(e, 340, 13);
    e.push_back(Move(350, 500, 500));
    e.push_back(Up(360));
    ASSERT_TRUE(Display::Run::SetRecord((dir / "rec.txt").string()));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(Hold(e, GameOverScene{}, 400, LostWave()));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be saved"), std::string::npos);
    // The recording says so where it happened: a replay keeps its table in
    // memory, where a save never fails.
    EXPECT_NE(ReadFile(dir / "rec.txt").find("key up 0x0D\n340 save failed\n"), std::string::npos)
        << ReadFile(dir / "rec.txt");
    for (std::uint32_t i = 1; i <= 10; ++i) {
        EXPECT_EQ(world.scores[i].points, table[i].points);
        EXPECT_EQ(world.scores[i].name, table[i].name);
    }

    // The same screen still offers Save.
    scorefile = good;
    Events again = ToNameEntry({'E', 'L', 'M'});
    again.push_back(Move(300, 60, 700));
    again.push_back(Down(320));
    Key(again, 340, 13);
    again.push_back(Up(360));
    again.push_back(Move(380, 170, 725));
    again.push_back(Down(400));
    ASSERT_TRUE(Finish(again));
    EXPECT_NE(ReadFile(scorefile).find("ELM    75"), std::string::npos);
    EXPECT_TRUE(GameEnded());
}

TEST_F(GameOverScreen, ASaveARecordingSaysFailedFailsInItsReplay) {
    Events e = ToNameEntry({'E', 'L', 'M'});
    e.push_back(Move(300, 60, 700));
    e.push_back(Down(320));
    Key(e, 340, 13);
    e.push_back({340, InputEvent::SaveFailed, 0, 0, 0, {}});
    e.push_back(Up(360));
    EXPECT_TRUE(Hold(e, GameOverScene{}, 400, LostWave()));
    EXPECT_EQ(ReadFile(scorefile), kOldTable);
    EXPECT_FALSE(std::get<GameOverScene>(world.scenes.Top()).saved);
    // It stands for that one save: the next one is made.
    Events again = ToNameEntry({'E', 'L', 'M'});
    again.push_back(Move(300, 60, 700));
    again.push_back(Down(320));
    Key(again, 340, 13);
    again.push_back(Up(360));
    again.push_back(Move(380, 170, 725));
    again.push_back(Down(400));
    ASSERT_TRUE(Finish(again));
    EXPECT_NE(ReadFile(scorefile).find("ELM    75"), std::string::npos);
}

TEST_F(GameOverScreen, NameHoldsOnlyWhatWasTypedThereAndReturnOrEnterSaves) {
    // M for the sound in play and K in the menu are still queued.
    Display::Run::Apply({0, InputEvent::KeyDown, 'M', 0, 0, {}});
    Display::Run::Apply({0, InputEvent::KeyDown, 'K', 0, 0, {}});
    Events e = ToNameEntry({'A', 'S', 'H', 13});
    Key(e, 300, 13);         // on from the table
    e.push_back(Close(400)); // nothing more: a Return key that did nothing ends here
    ASSERT_TRUE(Play(e, NameEntryScene{}));
    EXPECT_EQ(std::string(world.scores[4].name.data(), 7), "ASH    ");
    EXPECT_EQ(world.scores[4].points, 75u);

    // A full name waits for no more letters; Return still saves it.
    ScoreFile::Read(scorefile, world.scores);
    world.score = 85;
    Events full = ToNameEntry({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 13});
    Key(full, 400, 13);
    ASSERT_TRUE(Play(full, NameEntryScene{}));
    EXPECT_EQ(std::string(world.scores[3].name.data(), 7), "ABCDEFG");
}

TEST_F(GameOverScreen, BackspaceTakesTheLastLetterBackAndLeavesNoTrace) {
    constexpr std::uint32_t kBack = 0x203040;
    const auto& back = Layout::kGameOverBack;
    world.pictures[back] = {Solid(kBack, 1024, 768)};
    const auto field = [] {
        std::vector<std::uint32_t> px;
        const auto& f = Layout::kNameField;
        for (auto y = f.y1; y <= f.y2; ++y) {
            for (auto x = f.x1; x <= f.x2; ++x) {
                px.push_back(FrameColour(x, y));
            }
        }
        return px;
    };
    EXPECT_TRUE(Hold(ToNameEntry({8, 'O', 'W', 'X', 8, 8, 'W', 'L'}), NameEntryScene{}, 400));
    EXPECT_EQ(std::string(world.scores[kResultPlace].name.data(), 7), "OWL    ");
    const auto erased = field();
    TearDown();
    SetUp();
    world.pictures[back] = {Solid(kBack, 1024, 768)};
    EXPECT_TRUE(Hold(ToNameEntry({'O', 'W', 'L'}), NameEntryScene{}, 400));
    EXPECT_EQ(field(), erased);
}

TEST_F(GameOverScreen, AWonGamesNameEntryShowsTheVictoryTitleNotGameOver) {
    const auto goldIn = [] {
        const auto& t = Layout::kVictoryTitle;
        std::size_t n = 0;
        for (std::int32_t y = t.at.y; y < t.at.y + 12 * t.scale; ++y) {
            for (std::int32_t x = t.at.x; x < 1024 - t.at.x; ++x) {
                n += FrameColour(x, y) == Layout::kGold ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_TRUE(Hold({}, NameEntryScene{.won = true}, 100));
    EXPECT_GT(goldIn(), 2000u);
    TearDown();
    SetUp();
    EXPECT_TRUE(Hold({}, NameEntryScene{}, 100));
    EXPECT_EQ(goldIn(), 0u);
}
