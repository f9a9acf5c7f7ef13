#include "game/screens/Options.h"
#include "display/Display.h"
#include "game/core/World.h"
#include "game/screens/Controls.h"
#include "game/screens/Focus.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"
#include "game/settings/SettingsStore.h"

namespace Morvek {

namespace {

using Layout::Choice;
using Layout::Setting;

bool IsSelected(const Choice& c) {
    if (c.setting == Setting::Difficulty) {
        return world.difficulty == c.difficulty;
    }
    return world.tickMs == c.speed;
}

void DrawChoices(Setting setting) {
    for (const auto& c : Layout::kChoices) {
        if (c.setting == setting) {
            Screen::Draw(IsSelected(c) ? c.selected : c.unselected, {c.rect.x1, c.rect.y1});
        }
    }
}

void Choose(const Choice& c) {
    if (c.setting == Setting::Difficulty) {
        world.difficulty = c.difficulty;
    } else {
        world.tickMs = c.speed;
    }
    DrawChoices(c.setting);
}

void DrawOptions() {
    Display::SetTitle(Layout::kTitleOptions);
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::Draw(Layout::kMenuBack, {0, 0});
    const auto& hardness = Layout::kOptionHeadings[0];
    const auto& pace = Layout::kOptionHeadings[1];
    Screen::DrawMasked(hardness.picture, hardness.at);
    Screen::DrawLabel(hardness.caption);
    DrawChoices(Setting::Difficulty);
    Screen::DrawMasked(pace.picture, pace.at);
    Screen::DrawLabel(pace.caption);
    DrawChoices(Setting::Speed);
    Screen::DrawReturnButton();
    for (const auto& c : Layout::kChoices) {
        Screen::Frame(c.rect);
    }
    Screen::DrawTextButton(Layout::kControlsButton, Layout::kControlsCaption);
}

} // namespace

Next Update(OptionsScene& o, World& w) {
    if (!o.shown || o.backFromControls) {
        DrawOptions();
        o.shown = true;
        if (o.backFromControls) {
            o.backFromControls = false;
            return IdleWait(Screen::kPassMs);
        }
    }
    Screen::ReadInput(Layout::kOptionsGrid);
    if (Screen::Clicked(Layout::kReturn) || Focus::Escaped()) {
        Settings::Change([&w](Settings::Values& v) {
            v.difficulty = w.difficulty;
            v.speed = w.tickMs;
        });
        Screen::BackToMenu();
        return Done();
    }
    for (const auto& c : Layout::kChoices) {
        if (Screen::Clicked(c.rect)) {
            Choose(c);
        }
    }
    if (Screen::Clicked(Layout::kControlsButton)) {
        o.backFromControls = true;
        return Open(w, ControlsScene{});
    }
    return IdleWait(Screen::kPassMs);
}

} // namespace Morvek
