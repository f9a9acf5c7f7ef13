#include "game/screens/Menu.h"
#include "display/Bindings.h"
#include "display/Display.h"
#include "display/Font.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Layout.h"
#include "game/screens/NewGame.h"
#include "game/screens/Screen.h"

#include <array>

namespace Morvek {

namespace {

constexpr std::uint32_t kPassMs = 20;

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
    Screen::Draw(Layout::kMenuBack, {0, 0});
    DrawTitle();
    for (const auto& b : Layout::kMenuButtons) {
        Screen::Draw(b.picture, {b.rect.x1, b.rect.y1});
    }
    for (const auto& b : Layout::kMenuButtons) {
        Screen::Frame(b.rect);
    }
}

Next Update(MenuScene& m, World& w) {
    if (m.gameOn) {
        m.gameOn = false;
        Display::Bindings::SetPlaying(false);
        DrawMenu();
    }
    if (!m.inPass) {
        Screen::ReadInput(Layout::kMenuGrid);
        m.inPass = true;
        m.button = 0;
    }
    // A screen opened here leaves its own last mouse position behind, which
    // the rest of the pass then uses.
    while (m.button < Layout::kMenuButtons.size()) {
        const auto& b = Layout::kMenuButtons[m.button++];
        if (!Screen::Clicked(b.rect)) {
            continue;
        }
        switch (b.number) {
        case Layout::kButtonStory:
            return Open(w, ReturnScene{.screen = Mode::Story});
        case Layout::kButtonNewGame:
            NewGame();
            m.gameOn = true;
            return Open(w, GameScene{});
        case Layout::kButtonOptions:
            return Open(w, OptionsScene{});
        case Layout::kButtonHighscore:
            return Open(w, ReturnScene{.screen = Mode::Highscores});
        case Layout::kButtonCredits:
            return Open(w, ReturnScene{.screen = Mode::Credits});
        case Layout::kButtonEnd:
            Display::KillWindow();
            return {Next::Kind::Quit, {}};
        default:
            break;
        }
    }
    m.inPass = false;
    return IdleWait(kPassMs);
}

} // namespace Morvek
