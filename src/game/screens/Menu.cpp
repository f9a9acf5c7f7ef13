#include "game/screens/Menu.h"
#include "display/Display.h"
#include "display/Font.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Highscore.h"
#include "game/screens/Layout.h"
#include "game/screens/Options.h"
#include "game/screens/Screen.h"
#include "game/screens/StoryCredits.h"

#include <array>

namespace Morvek {

namespace {

void StartGame() {
    world.returnToMenu = false;
    NewGame();
}

void EndGame() {
    world.quitGame = true;
    Display::KillWindow();
}

struct MenuAction {
    std::uint32_t button;
    void (*run)();
};

constexpr std::array<MenuAction, 6> kActions{{
    {Layout::kButtonStory, Story},
    {Layout::kButtonNewGame, StartGame},
    {Layout::kButtonOptions, OptionsScreen},
    {Layout::kButtonHighscore, HighscoreScreen},
    {Layout::kButtonCredits, Credit},
    {Layout::kButtonEnd, EndGame},
}};

// The game's name over the menu, the font's glyphs blown up, with a shadow:
// clear of the buttons on the left and of the moon and the dragon.
void DrawTitle() {
    const auto& t = Layout::kMenuTitle;
    for (const auto& [dx, colour] : {std::pair{4, Layout::kBlack}, std::pair{0, t.colour}}) {
        std::int32_t x = t.at.x + dx;
        for (const char c : t.text) {
            const auto& glyph =
                Display::Font::GlyphOf(Layout::kFontStyle, static_cast<unsigned char>(c));
            for (std::int32_t row = 0; row < Display::Font::kCellHeight; ++row) {
                for (std::int32_t col = 0; col < Display::Font::kCellWidth; ++col) {
                    if ((glyph[static_cast<std::size_t>(row)] >> (7 - col) & 1) != 0) {
                        const std::int32_t px = x + col * t.scale;
                        const std::int32_t py = t.at.y + dx + row * t.scale;
                        Display::Rectangle(px, py, px + t.scale - 1, py + t.scale - 1, colour,
                                           true);
                    }
                }
            }
            x += Display::Font::kAdvance * t.scale;
        }
    }
}

} // namespace

void DrawMenu() {
    world.mode = Mode::Menu;
    Screen::Draw(Layout::kMenuBack, {0, 0});
    DrawTitle();
    for (const auto& b : Layout::kMenuButtons) {
        Screen::Draw(b.picture, {b.rect.x1, b.rect.y1});
    }
    for (const auto& b : Layout::kMenuButtons) {
        Screen::Frame(b.rect);
    }
    Display::UpdateWindow();
}

bool MenuSelect(std::int32_t x, std::int32_t y, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                std::int32_t y2, std::uint32_t button) {
    const Layout::Rect r{x1, y1, x2, y2};
    const bool over = x1 <= x && x <= x2 && y1 <= y && y <= y2;
    const bool framed = (over && Focus::MouseLeads()) || Focus::Lit(r);
    Display::Rectangle(x1, y1, x2, y2, framed ? Layout::kHighlight : Layout::kBlack, false);
    Display::UpdateWindow();
    // A level test, not a press event: a held button clicks on every call,
    // lit or not.
    const bool clicked = (over && Display::MouseLeft()) || Focus::Chosen(r);
    if (clicked) {
        for (const auto& a : kActions) {
            if (a.button == button) {
                a.run();
            }
        }
    }
    return clicked;
}

} // namespace Morvek
