// The Controls screen: the keys of play, one row per action. A row chosen
// waits for the new key; Escape cancels, a key bound to another action
// swaps with it, a key the game keeps for itself is refused. Keys reach the
// game unbound outside play, so what is pressed here is the physical key.
#include "game/screens/Controls.h"
#include "display/Bindings.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"
#include "game/settings/SettingsStore.h"

#include <string>

namespace Morvek {

namespace {

namespace Keys = Display::Bindings;

void DrawScreen(std::string_view prompt) {
    Display::SetTitle(Layout::kTitleControls);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kControlsHeading);
    const Keys::Table table = Keys::InUse();
    for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
        const Layout::Rect r = Layout::ControlsRow(i);
        const std::int32_t y = r.y1 + 12;
        Display::Text(Keys::kActions[i].shown, Layout::kControlsActionX, y);
        Display::Text(Keys::KeyName(table[i]), Layout::kControlsKeyX, y);
        Screen::Frame(r);
    }
    Display::Text(prompt, Layout::kControlsPrompt.x, Layout::kControlsPrompt.y);
    Screen::DrawReturnButton();
    Screen::DrawTextButton(Layout::kDefaultsButton, Layout::kDefaultsCaption);
    Display::UpdateWindow();
}

void Keep(const Keys::Table& table) {
    Keys::Use(table);
    Settings::Change([&table](Settings::Values& v) { v.keys = table; });
}

void Rebind(std::size_t action) {
    Screen::WaitForRelease();
    const std::string ask =
        "Press the new key for " + std::string(Keys::kActions[action].shown) + " (Escape cancels)";
    DrawScreen(ask);
    Display::FlushKeys();
    for (;;) {
        const std::uint32_t key = Display::GetKey();
        if (key == Display::KeyCode::kEscape) {
            break;
        }
        Keys::Table table = Keys::InUse();
        if (key < 256 && Keys::Bind(table, action, static_cast<std::uint8_t>(key))) {
            Keep(table);
            break;
        }
        DrawScreen(ask + ": that key keeps its own meaning");
    }
    // The new key's own press must not reach the next pass as a choice.
    Screen::WaitForRelease();
    DrawScreen("");
}

} // namespace

void ControlsScreen() {
    Screen::WaitForRelease();
    DrawScreen("");
    for (;;) {
        Screen::ReadInput(Layout::kControlsGrid);
        if (Screen::Clicked(Layout::kReturn)) {
            Screen::WaitForRelease();
            return;
        }
        if (Screen::Clicked(Layout::kDefaultsButton)) {
            Keep(Keys::Defaults());
            Screen::WaitForRelease();
            DrawScreen("");
        }
        for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
            if (Screen::Clicked(Layout::ControlsRow(i))) {
                Rebind(i);
            }
        }
        Display::IdleSleep(20);
    }
}

} // namespace Morvek
