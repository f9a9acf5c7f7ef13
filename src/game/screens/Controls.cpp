// The Controls screen: the keys of play, one row per action. A row chosen
// waits for the new key; Escape cancels, a key bound to another action
// swaps with it, a key the game keeps for itself is refused. Keys reach the
// game unbound outside play, so what is pressed here is the physical key.
#include "game/screens/Controls.h"
#include "display/Bindings.h"
#include "display/Display.h"
#include "display/Font.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"
#include "game/screens/Focus.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"
#include "game/settings/SettingsStore.h"

#include <span>
#include <string_view>

namespace Morvek {

namespace {

namespace Keys = Display::Bindings;

constexpr std::size_t kNoRow = Keys::kActions.size();

// `asked` is the row awaiting its key, or kNoRow: that row stays lit and its
// question stands to its right, clear of the other rows.
void DrawScreen(std::size_t asked = kNoRow, bool refused = false) {
    Display::SetTitle(Layout::kTitleControls);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kControlsHeading);
    const Keys::Table table = Keys::InUse();
    for (std::size_t i = 0; i < Keys::kActions.size(); ++i) {
        const Layout::Rect r = Layout::ControlsRow(i);
        const std::int32_t y = r.y1 + 12;
        Display::Text(Keys::kActions[i].shown, Layout::kControlsActionX, y);
        Display::Text(i == asked ? "?" : Keys::KeyName(table[i]), Layout::kControlsKeyX, y);
        Screen::Frame(r);
    }
    if (asked != kNoRow) {
        const Layout::Rect r = Layout::ControlsRow(asked);
        Display::Rectangle(r.x1, r.y1, r.x2, r.y2, Layout::kHighlight, false);
        Display::Rectangle(r.x1 + 1, r.y1 + 1, r.x2 - 1, r.y2 - 1, Layout::kHighlight, false);
        const std::span<const std::string_view> lines =
            refused ? std::span<const std::string_view>(Layout::kControlsRefused)
                    : std::span<const std::string_view>(Layout::kControlsQuestion);
        const auto tall = static_cast<std::int32_t>(lines.size()) * Display::Font::kCellHeight;
        std::int32_t y = (r.y1 + r.y2 - tall) / 2;
        for (const std::string_view line : lines) {
            Display::Text(line, r.x2 + Layout::kControlsQuestionGap, y);
            y += Display::Font::kCellHeight;
        }
    }
    Screen::DrawReturnButton();
    Screen::DrawTextButton(Layout::kDefaultsButton, Layout::kDefaultsCaption);
}

void Keep(const Keys::Table& table) {
    Keys::Use(table);
    Settings::Change([&table](Settings::Values& v) { v.keys = table; });
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
            DrawScreen();
            c.at = At::Rows;
            c.row = Keys::kActions.size(); // drawn, not yet polled
            break;
        case At::Rows:
            if (c.row == Keys::kActions.size()) {
                Screen::ReadInput(Layout::kControlsGrid);
                if (Screen::Clicked(Layout::kReturn) || Focus::Escaped()) {
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
            DrawScreen();
            c.row = 0;
            c.at = At::Rows;
            break;
        case At::Asking:
            DrawScreen(c.action);
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
            DrawScreen(c.action, true);
            break;
        }
        case At::Answered:
            // The Escape that cancelled was taken from the queue; held on, it
            // must not also leave the screen.
            Focus::Settle();
            DrawScreen();
            c.row = c.action + 1;
            c.at = At::Rows;
            break;
        case At::Leaving:
            return Done();
        }
    }
}

} // namespace Morvek
