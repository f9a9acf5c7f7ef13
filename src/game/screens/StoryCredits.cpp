#include "game/screens/StoryCredits.h"
#include "display/Wimdows.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"

namespace Procedures {

void Story() {
    world.mode = Mode::Story;
    Wimdows::SetTitle(Layout::kTitleStory);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    Screen::DrawReturnButton();
    Wimdows::SetFont(Layout::kFontStyle, Layout::kWhite);
    for (const auto& label : Layout::kStoryTexts) {
        Screen::DrawLabel(label);
    }
    for (const auto& item : Layout::kStoryItems) {
        Screen::DrawMasked({item.group, item.slot, 1}, {item.group, item.slot, 2}, item.at);
    }
    Wimdows::UpdateWindow();
    Screen::WaitForReturn();
    Screen::BackToMenu();
}

void Credit() {
    world.mode = Mode::Credits;
    Wimdows::SetTitle(Layout::kTitleCredits);
    Screen::Draw(Layout::kCreditsPicture, {0, 0});
    Screen::DrawReturnButton();
    Wimdows::UpdateWindow();
    Screen::WaitForReturn();
    Screen::BackToMenu();
}

} // namespace Procedures
