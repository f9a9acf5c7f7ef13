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
}

void Keep(const Keys::Table& table) {
    Keys::Use(table);
    Settings::Change([&table](Settings::Values& v) { v.keys = table; });
}

std::string Question(std::size_t action) {
    return "Press the new key for " + std::string(Keys::kActions[action].shown) +
           " (Escape cancels)";
}

} // namespace

Next Update(ControlsScene& c, World& w) {
    using At = ControlsScene::At;
    for (;;) {
        switch (c.at) {
        case At::Opening:
            c.at = At::Pass;
            // The click or key that opened the screen must not choose in it.
            return Open(w, ReleaseScene{});
        case At::Pass:
            DrawScreen("");
            c.at = At::Rows;
            c.row = Keys::kActions.size(); // drawn, not yet polled
            break;
        case At::Rows:
            if (c.row == Keys::kActions.size()) {
                Screen::ReadInput(Layout::kControlsGrid);
                if (Screen::Clicked(Layout::kReturn)) {
                    c.at = At::Leaving;
                    return Open(w, ReleaseScene{});
                }
                if (Screen::Clicked(Layout::kDefaultsButton)) {
                    Keep(Keys::Defaults());
                    c.at = At::Defaults;
                    return Open(w, ReleaseScene{});
                }
                c.row = 0;
            }
            while (c.row < Keys::kActions.size()) {
                const std::uint32_t row = c.row++;
                if (Screen::Clicked(Layout::ControlsRow(row))) {
                    c.action = row;
                    c.at = At::Asking;
                    return Open(w, ReleaseScene{});
                }
            }
            return IdleWait(Screen::kPassMs);
        case At::Defaults:
            DrawScreen("");
            c.row = 0;
            c.at = At::Rows;
            break;
        case At::Asking:
            DrawScreen(Question(c.action));
            Display::FlushKeys();
            c.at = At::Listening;
            break;
        case At::Listening: {
            if (!Display::KeyQueued()) {
                return KeyWait();
            }
            const std::uint32_t key = Display::TakeKey();
            Keys::Table table = Keys::InUse();
            if (key == Display::KeyCode::kEscape ||
                (key < 256 && Keys::Bind(table, c.action, static_cast<std::uint8_t>(key)))) {
                if (key != Display::KeyCode::kEscape) {
                    Keep(table);
                }
                // The new key's own press must not reach the next pass as a choice.
                c.at = At::Answered;
                return Open(w, ReleaseScene{});
            }
            DrawScreen(Question(c.action) + ": that key keeps its own meaning");
            break;
        }
        case At::Answered:
            DrawScreen("");
            c.row = c.action + 1;
            c.at = At::Rows;
            break;
        case At::Leaving:
            return Done();
        }
    }
}

} // namespace Morvek
