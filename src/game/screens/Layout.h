// Where everything of the menu and the screens stands: button rectangles,
// pictures, texts and captions, one place each.
#pragma once

#include "game/core/Colours.h"
#include "game/core/DifficultySetting.h"
#include "game/core/MenuFocus.h"
#include "game/core/Picture.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace Morvek::Layout {

// A button's hit rectangle, both corners included.
struct Rect {
    std::int32_t x1, y1, x2, y2;
    bool operator==(const Rect&) const = default;
};

struct Point {
    std::int32_t x, y;
};

struct Label {
    std::string_view text;
    Point at;
};

// --- Colours and font --------------------------------------------------------
constexpr std::uint32_t kBlack = Colours::kBlack;
constexpr std::uint32_t kHighlight = Colours::kGreen;
constexpr std::uint32_t kWhite = Colours::kWhite;
constexpr std::uint32_t kGold = Colours::kGold;
constexpr std::uint32_t kFontStyle = 5; // the fixed-pitch terminal font

// --- Captions ----------------------------------------------------------------
constexpr std::string_view kTitleMenu = "Morvek";
constexpr std::string_view kTitleStory = "Story";
constexpr std::string_view kTitleOptions = "Options";
constexpr std::string_view kTitleHighscore = "Highscore";
constexpr std::string_view kTitleCredits = "Credits";
constexpr std::string_view kTitleGameOver = "Game Over";
constexpr std::string_view kTitleGameOverSave = "Game Over - Save";
constexpr std::string_view kTitleControls = "Controls";

// --- Main menu ---------------------------------------------------------------
constexpr Picture kMenuBack = Picture::MenuBack;

struct MenuButton {
    std::uint32_t number;
    Rect rect;
    Picture picture;
};

// Odd numbers only: button i stands at y = 50 * i.
constexpr std::array<MenuButton, 6> kMenuButtons{{
    {1, {100, 50, 250, 100}, Picture::StoryButton},
    {3, {100, 150, 250, 200}, Picture::NewGameButton},
    {5, {100, 250, 250, 300}, Picture::OptionsButton},
    {7, {100, 350, 250, 400}, Picture::HighscoreButton},
    {9, {100, 450, 250, 500}, Picture::CreditsButton},
    {11, {100, 550, 250, 600}, Picture::EndButton},
}};

constexpr std::uint32_t kButtonStory = 1;
constexpr std::uint32_t kButtonNewGame = 3;
constexpr std::uint32_t kButtonOptions = 5;
constexpr std::uint32_t kButtonHighscore = 7;
constexpr std::uint32_t kButtonCredits = 9;
constexpr std::uint32_t kButtonEnd = 11;

// The title: 6 letters of 7 x 6 pixels from x = 400 end at 652, between the
// buttons (to 250) and the moon (from about 760); 72 pixels tall from y = 40.
struct Title {
    std::string_view text;
    Point at;
    std::int32_t scale;
    std::uint32_t colour;
};
constexpr Title kMenuTitle{"MORVEK", {400, 40}, 6, Colours::kGold};

// --- Buttons shared by the screens -------------------------------------------
constexpr Rect kReturn{50, 650, 170, 725};
constexpr Picture kReturnPicture = Picture::ReturnButton;
constexpr Rect kSave{870, 650, 990, 725};
constexpr Picture kSavePicture = Picture::SaveButton;

// --- Highscore screen --------------------------------------------------------
constexpr Label kHighscoreHeading{"Highscores:", {480, 130}};
constexpr std::int32_t kHighscoreRankX = 300; // "1." to "10.", left of the names
constexpr std::int32_t kHighscoreNameX = 350;
constexpr std::string_view kHighscoreEmpty = "-"; // a place no save has filled
constexpr std::int32_t kHighscoreScoreX = 650;
constexpr std::int32_t HighscoreRowY(std::uint32_t place) {
    return 160 + 45 * static_cast<std::int32_t>(place);
}
// The frame round a row just saved, from its text's top.
constexpr Rect kHighscoreLit{285, -9, 760, 20};
// Beside Return: the kept replays, the switch between this machine's table
// and the leaderboard's, and on the latter the name shown there.
constexpr Rect kReplaysButton{190, 650, 340, 725};
constexpr std::string_view kReplaysCaption = "Replays";
constexpr Rect kOnlineButton{360, 650, 510, 725};
constexpr std::string_view kOnlineCaption = "Online";
constexpr std::string_view kLocalCaption = "Local";
constexpr Rect kOnlineNameButton{840, 650, 990, 725};
constexpr std::string_view kOnlineNameCaption = "Name";
constexpr Point kOnlineHeading{480, 130}; // "Online, normal-fast:"
// Above the rows the player's name there and what keeps the board empty;
// under them the player's last run.
constexpr Point kOnlineName{300, 158};
constexpr Point kOnlineStatus{300, 178};
constexpr Point kOnlineLastRun{300, 632};

// --- Game over and name entry ------------------------------------------------
constexpr Picture kGameOverPicture = Picture::GameOver;
constexpr Point kGameOverAt{232, 309};
constexpr Picture kGameOverBack = Picture::GameOverBack;
constexpr Label kNamePrompt{"NICKNAME, UP TO 7 LETTERS", {433, 550}};
// A won game's name entry: this, where the game-over lettering stands.
struct Lettering {
    std::string_view text;
    Point at;
    std::int32_t scale;
};
constexpr Lettering kVictoryTitle{"VICTORY!", {260, 330}, 9};
constexpr std::int32_t kVictoryShadow = 5;
constexpr Rect kNameField{470, 580, 570, 605};
constexpr Point kNameAt{480, 585};

// --- Options -----------------------------------------------------------------
enum class Setting : std::uint8_t { Difficulty, Speed };

struct Choice {
    Rect rect;
    Picture selected;
    Picture unselected;
    Setting setting;
    Difficulty difficulty; // for a difficulty
    std::uint32_t speed;   // for a speed: milliseconds a tick
    std::string_view name; // in settings.ini and in recordings
};

// In the order the options loop tests them.
constexpr std::array<Choice, 5> kChoices{{
    {{270, 255, 390, 330},
     Picture::Easy,
     Picture::EasyOff,
     Setting::Difficulty,
     Difficulty::Easy,
     0,
     "easy"},
    {{470, 255, 590, 330},
     Picture::Normal,
     Picture::NormalOff,
     Setting::Difficulty,
     Difficulty::Normal,
     0,
     "normal"},
    {{670, 255, 790, 330},
     Picture::Hard,
     Picture::HardOff,
     Setting::Difficulty,
     Difficulty::Hard,
     0,
     "hard"},
    {{270, 505, 390, 580},
     Picture::Slow,
     Picture::SlowOff,
     Setting::Speed,
     Difficulty::Easy,
     60,
     "slow"},
    {{470, 505, 590, 580},
     Picture::Fast,
     Picture::FastOff,
     Setting::Speed,
     Difficulty::Easy,
     30,
     "fast"},
}};

struct Heading {
    Picture picture; // drawn with its mask
    Point at;
    Label caption;
};

constexpr std::array<Heading, 2> kOptionHeadings{{
    {Picture::DifficultyHeading,
     {150, 130},
     {"When playing \"normal\" or \"hard\" you turn on dynamic difficulty: the game will adapt "
      "to your level",
      {290, 165}}},
    {Picture::SpeedHeading, {150, 380}, {"Alters speed of the game", {290, 415}}},
}};

// The way to the Controls screen: bottom right, clear of the six choices.
constexpr Rect kControlsButton{870, 650, 990, 725};
constexpr std::string_view kControlsCaption = "Controls";

// --- Controls ------------------------------------------------------------------
constexpr Label kControlsHeading{"Keys of play (click one, then press the new key):", {300, 110}};
constexpr std::int32_t kControlsActionX = 320;
constexpr std::int32_t kControlsKeyX = 560;
constexpr std::size_t kControlsRows = 8; // one per action of play
constexpr Rect ControlsRow(std::size_t row) {
    const auto y = 150 + 50 * static_cast<std::int32_t>(row);
    return {300, y, 720, y + 40};
}
// The question beside the row that awaits its key, right of it.
constexpr std::int32_t kControlsQuestionGap = 12;
constexpr std::array<std::string_view, 2> kControlsQuestion{"Press the new key",
                                                            "(Escape cancels)"};
constexpr std::array<std::string_view, 3> kControlsRefused{
    "That key keeps its", "own meaning: press", "another (Escape cancels)"};
constexpr Rect kDefaultsButton{870, 650, 990, 725};
constexpr std::string_view kDefaultsCaption = "Defaults";

// --- Story and credits -------------------------------------------------------
constexpr std::array<Label, 11> kStoryTexts{{
    {"IN A LAND FAR FAR AWAY FROM HERE A FEARSOME DRAGON WAS BORN.", {250, 160}},
    {"WHEN HE REACHED THE AGE OF 200 HIS FATHER CHALLENGED HIM TO", {250, 180}},
    {"PERFORM AN IMPORTANT TASK. HE HAD TO KILL 2 MIGHTY CREATURES", {250, 200}},
    {"TO JOIN THE GROUP OF ADULT DRAGONS AND GET THE APPROVAL OF THE", {250, 220}},
    {"DRAGONKING, HIS FATHER. SO HIS QUEST BEGAN BY DEFEATING", {250, 240}},
    {"THE GOD OF THE WINDS...", {250, 260}},
    {"Extra Health", {600, 360}},
    {"Extra Life", {600, 440}},
    {"Weapon Upgrade", {600, 520}},
    {"Extra Special", {600, 600}},
    {"Extra Magic", {600, 680}},
}};

// The keys as bound, one line each below the story (screens/StoryCredits.h).
constexpr Point kStoryKeysAt{120, 350};
constexpr std::int32_t kStoryKeysGap = 36;

// The item legend, each picture drawn with its mask.
struct StoryItem {
    Picture picture;
    Point at;
};
constexpr std::array<StoryItem, 5> kStoryItems{{
    {Picture::Heart, {550, 350}},
    {Picture::Life, {550, 430}},
    {Picture::Upgrade, {550, 510}},
    {Picture::Special, {550, 590}},
    {Picture::MagicOrb, {550, 670}},
}};

constexpr Picture kCreditsPicture = Picture::CreditsBack;

// --- Keyboard and controller -------------------------------------------------
// A screen's buttons as the arrows move between them: up and down change
// the row, left and right the column. The first arrow on a screen lights the
// button last lit there, or the first one.
struct NavButton {
    Rect rect;
    std::uint32_t row, column;
};

struct Grid {
    std::uint32_t id; // each grid's own, 0..kGrids - 1
    std::span<const NavButton> buttons;
};
constexpr std::uint32_t kGrids = 8;
static_assert(kGrids == MenuFocus::kScreens);

constexpr std::array<NavButton, 6> kMenuNav{{
    {kMenuButtons[0].rect, 0, 0},
    {kMenuButtons[1].rect, 1, 0},
    {kMenuButtons[2].rect, 2, 0},
    {kMenuButtons[3].rect, 3, 0},
    {kMenuButtons[4].rect, 4, 0},
    {kMenuButtons[5].rect, 5, 0},
}};
constexpr std::array<NavButton, 7> kOptionsNav{{
    {kChoices[0].rect, 0, 0}, // Easy
    {kChoices[1].rect, 0, 1}, // Normal
    {kChoices[2].rect, 0, 2}, // Hard
    {kChoices[3].rect, 1, 0}, // Slow
    {kChoices[4].rect, 1, 1}, // Fast
    {kReturn, 2, 0},
    {kControlsButton, 3, 0}, // its own row: down from Return, never in the way of the choices
}};
constexpr std::array<NavButton, kControlsRows + 2> kControlsNav = [] {
    std::array<NavButton, kControlsRows + 2> nav{};
    for (std::uint32_t row = 0; row < kControlsRows; ++row) {
        nav[row] = {ControlsRow(row), row, 0};
    }
    nav[kControlsRows] = {kReturn, kControlsRows, 0};
    nav[kControlsRows + 1] = {kDefaultsButton, kControlsRows, 1};
    return nav;
}();
constexpr std::array<NavButton, 2> kGameOverNav{{{kReturn, 0, 0}, {kSave, 0, 1}}};
constexpr std::array<NavButton, 1> kReturnNav{{{kReturn, 0, 0}}};
constexpr std::array<NavButton, 3> kHighscoreNav{
    {{kReturn, 0, 0}, {kReplaysButton, 0, 1}, {kOnlineButton, 0, 2}}};
constexpr std::array<NavButton, 4> kOnlineNav{
    {{kReturn, 0, 0}, {kReplaysButton, 0, 1}, {kOnlineButton, 0, 2}, {kOnlineNameButton, 0, 3}}};

constexpr Grid kMenuGrid{0, kMenuNav};
constexpr Grid kOptionsGrid{1, kOptionsNav};
constexpr Grid kGameOverGrid{2, kGameOverNav};
// Story and credits.
constexpr Grid kReturnGrid{3, kReturnNav};
constexpr Grid kNameGrid{4, kReturnNav};
constexpr Grid kControlsGrid{5, kControlsNav};
constexpr Grid kHighscoreGrid{6, kHighscoreNav};
constexpr Grid kOnlineGrid{7, kOnlineNav};

constexpr std::array<const Grid*, kGrids> kGridById{&kMenuGrid,      &kOptionsGrid, &kGameOverGrid,
                                                    &kReturnGrid,    &kNameGrid,    &kControlsGrid,
                                                    &kHighscoreGrid, &kOnlineGrid};

} // namespace Morvek::Layout
