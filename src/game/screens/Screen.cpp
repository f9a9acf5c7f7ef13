#include "game/screens/Screen.h"
#include "display/KeyCodes.h"

#include "display/Display.h"
#include "game/combat/Render.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Menu.h"

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
    return MenuSelect(world.mouseX, world.mouseY, r.x1, r.y1, r.x2, r.y2, 0);
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

void WaitForRelease() {
    while (Display::MouseLeft() || Display::KeyDown(Display::KeyCode::kReturn) ||
           Display::KeyDown(Display::KeyCode::kSpace)) {
        Display::IdleSleep(20);
    }
}

void DrawReturnButton() {
    Draw(Layout::kReturnPicture, {Layout::kReturn.x1, Layout::kReturn.y1});
    Frame(Layout::kReturn);
}

void WaitForReturn() {
    for (;;) {
        ReadInput(Layout::kReturnGrid);
        if (Clicked(Layout::kReturn)) {
            return;
        }
        Display::IdleSleep(20);
    }
}

void BackToMenu() {
    Display::SetTitle(Layout::kTitleMenu);
    DrawMenu();
}

} // namespace Morvek::Screen
