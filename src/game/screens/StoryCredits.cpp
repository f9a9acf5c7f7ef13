#include "game/screens/StoryCredits.h"
#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"

namespace Morvek {

void DrawStory() {
    Display::SetTitle(Layout::kTitleStory);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    Screen::DrawReturnButton();
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    for (const auto& label : Layout::kStoryTexts) {
        Screen::DrawLabel(label);
    }
    for (const auto& item : Layout::kStoryItems) {
        Screen::DrawMasked(item.picture, item.at);
    }
}

void DrawCredits() {
    Display::SetTitle(Layout::kTitleCredits);
    Screen::Draw(Layout::kCreditsPicture, {0, 0});
    Screen::DrawReturnButton();
}

} // namespace Morvek
