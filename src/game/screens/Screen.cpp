#include "game/screens/Screen.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "game/combat/Render.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Highscore.h"
#include "game/screens/Menu.h"
#include "game/screens/StoryCredits.h"

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

void DrawTextButton(Layout::Rect r, std::string_view caption) {
    Display::Rectangle(r.x1, r.y1, r.x2, r.y2, Layout::kBlack, true);
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    std::uint32_t w = 0, h = 0;
    Display::GetTextSize(caption, Layout::kFontStyle, w, h);
    const auto x = (r.x1 + r.x2 - static_cast<std::int32_t>(w)) / 2;
    const auto y = (r.y1 + r.y2 - static_cast<std::int32_t>(h)) / 2;
    Display::Text(caption, x, y);
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
    return Clicked(Layout::kReturn);
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

Next Update(ReturnScene& s, World&) {
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
