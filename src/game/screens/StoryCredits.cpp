#include "game/screens/StoryCredits.h"
#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"

#include <algorithm>

namespace Morvek {

std::array<std::string, 8> StoryKeyLines(const Display::Bindings::Table& keys) {
    namespace Keys = Display::Bindings;
    const auto name = [&keys](std::size_t action) { return Keys::KeyName(keys[action]); };
    const Keys::Table defaults = Keys::Defaults();
    const bool arrows = std::equal(keys.begin(), keys.begin() + 4, defaults.begin());
    const std::string move =
        arrows ? "arrows" : name(0) + "/" + name(1) + "/" + name(2) + "/" + name(3);
    return {"Use " + move + " for moving",
            name(4) + " to fire",
            name(6) + " to summon force barrier",
            name(5) + " to spit a beam of fire",
            name(7) + " to pause",
            "M to switch the sound on or off",
            "Escape to quit",
            "Firing spends Magic; it refills when you stop"};
}

void DrawStory() {
    Display::SetTitle(Layout::kTitleStory);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    Screen::DrawReturnButton();
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    for (const auto& label : Layout::kStoryTexts) {
        Screen::DrawLabel(label);
    }
    std::int32_t y = Layout::kStoryKeysAt.y;
    for (const std::string& line : StoryKeyLines(Display::Bindings::InUse())) {
        Display::Text(line, Layout::kStoryKeysAt.x, y);
        y += Layout::kStoryKeysGap;
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
