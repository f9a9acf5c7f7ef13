#include "game/screens/Screen.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "display/Font.h"
#include "game/combat/Render.h"
#include "game/core/Colours.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Highscore.h"
#include "game/screens/Menu.h"
#include "game/screens/StoryCredits.h"

#include <string>
#include <utility>

namespace Morvek::Screen {

void Draw(Picture p, Layout::Point at) {
    Display::DrawBitmap(PictureNumber(p), at.x, at.y);
}

void DrawMasked(Picture p, Layout::Point at) {
    Display::DrawMaskBitmap(PictureNumber(p), MaskNumber(p), at.x, at.y);
}

void DrawLabel(const Layout::Label& label) {
    Display::Text(label.text, label.at.x, label.at.y);
}

void Frame(Layout::Rect r) {
    Display::Rectangle(r.x1, r.y1, r.x2, r.y2, Layout::kBlack, false);
}

void ReadInput(const Layout::Grid& grid) {
    Display::MousePos(world.mouseX, world.mouseY);
    Focus::Poll(grid);
}

bool Clicked(Layout::Rect r) {
    const std::int32_t x = world.mouseX, y = world.mouseY;
    const bool over = r.x1 <= x && x <= r.x2 && r.y1 <= y && y <= r.y2;
    const bool framed = (over && Focus::MouseLeads()) || Focus::Lit(r);
    Display::Rectangle(r.x1, r.y1, r.x2, r.y2, framed ? Layout::kHighlight : Layout::kBlack, false);
    // A level test, not a press event: a held button clicks on every call,
    // lit or not.
    return (over && Display::MouseLeft()) || Focus::Chosen(r);
}

namespace {

// The look of the drawn buttons (Return, Save...): a purple plate in a dark
// gold rim, lit on top, shaded below, gold capitals outlined in brown.
namespace Plate {
using Colours::Packed;
constexpr std::uint32_t kRim = Packed(0x6A, 0x4A, 0x14);
constexpr std::uint32_t kInlay = Packed(0xD8, 0xA0, 0x40);
constexpr std::uint32_t kLight = Packed(0xB6, 0x70, 0xB7);
constexpr std::uint32_t kFace = Packed(0x81, 0x3E, 0x85);
constexpr std::uint32_t kShade = Packed(0x56, 0x20, 0x5B);
constexpr std::uint32_t kLetters = Packed(0xF8, 0xCC, 0x74);
constexpr std::uint32_t kOutline = Packed(0x2A, 0x10, 0x08);
constexpr std::int32_t kScale = 2;
// Tighter than the font's own pitch, so "DEFAULTS" fits the plate.
constexpr std::int32_t kAdvance = 13;
} // namespace Plate

std::string Capitals(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

} // namespace

void DrawTextButton(Layout::Rect r, std::string_view caption) {
    Display::Rectangle(r.x1 + 1, r.y1 + 1, r.x2 - 1, r.y2 - 1, Plate::kRim, true);
    Display::Rectangle(r.x1 + 2, r.y1 + 2, r.x2 - 2, r.y2 - 2, Plate::kLight, true);
    Display::Rectangle(r.x1 + 3, r.y1 + 3, r.x2 - 3, r.y2 - 3, Plate::kInlay, true);
    Display::Rectangle(r.x1 + 4, r.y1 + 4, r.x2 - 4, r.y2 - 4, Plate::kShade, true);
    Display::Rectangle(r.x1 + 4, r.y1 + 4, r.x2 - 4, r.y2 - 6, Plate::kFace, true);
    const std::string text = Capitals(caption);
    const auto wide = static_cast<std::int32_t>(text.size()) * Plate::kAdvance - 2;
    const std::int32_t x = (r.x1 + r.x2 + 1 - wide) / 2;
    const std::int32_t y = (r.y1 + r.y2 - 4 - Display::Font::kCellHeight * Plate::kScale) / 2;
    const auto letters = [&](std::int32_t dx, std::int32_t dy) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            Display::Text(std::string_view(text).substr(i, 1),
                          x + dx + static_cast<std::int32_t>(i) * Plate::kAdvance, y + dy,
                          Plate::kScale);
        }
    };
    Display::SetFont(Layout::kFontStyle, Plate::kOutline);
    for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}, {1, 1}, {2, 2}}) {
        letters(dx, dy);
    }
    Display::SetFont(Layout::kFontStyle, Plate::kLetters);
    letters(0, 0);
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Frame(r);
}

bool ChoosingHeld() {
    return Display::MouseLeft() || Display::KeyDown(Display::KeyCode::kReturn) ||
           Display::KeyDown(Display::KeyCode::kSpace);
}

void DrawReturnButton() {
    Draw(Layout::kReturnPicture, {Layout::kReturn.x1, Layout::kReturn.y1});
    Frame(Layout::kReturn);
}

bool ReturnClicked() {
    ReadInput(Layout::kReturnGrid);
    return Clicked(Layout::kReturn) || Focus::Escaped();
}

void BackToMenu() {
    Display::SetTitle(Layout::kTitleMenu);
    DrawMenu();
}

} // namespace Morvek::Screen

namespace Morvek {

Next Update(ReleaseScene&, World&) {
    return Screen::ChoosingHeld() ? IdleWait(Screen::kPassMs) : Done();
}

Next Update(ReturnScene& s, World& w) {
    if (s.screen == Mode::Highscores) {
        return UpdateHighscores(s, w);
    }
    if (!s.shown) {
        s.shown = true;
        switch (s.screen) {
        case Mode::Highscores:
            DrawHighscores();
            break;
        case Mode::Credits:
            DrawCredits();
            break;
        default:
            DrawStory();
            break;
        }
    }
    if (Screen::ReturnClicked()) {
        Screen::BackToMenu();
        return Done();
    }
    return IdleWait(Screen::kPassMs);
}

} // namespace Morvek
