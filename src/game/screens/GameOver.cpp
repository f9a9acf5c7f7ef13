#include "game/screens/GameOver.h"

#include "display/Bindings.h"
#include "display/Display.h"
#include "game/combat/KeyGuide.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "game/screens/Layout.h"
#include "game/screens/Screen.h"

#include <variant>

namespace Morvek {

namespace {

void DrawGameOver() {
    Display::SetTitle(Layout::kTitleGameOver);
    Screen::DrawMasked(Layout::kGameOverPicture, Layout::kGameOverAt);
    Screen::Draw(Layout::kReturnPicture, {Layout::kReturn.x1, Layout::kReturn.y1});
    Screen::Draw(Layout::kSavePicture, {Layout::kSave.x1, Layout::kSave.y1});
    Screen::Frame(Layout::kReturn);
    Screen::Frame(Layout::kSave);
}

} // namespace

Next Update(GameOverScene& over, World& w) {
    if (!over.shown) {
        over.shown = true;
        Display::Bindings::SetPlaying(false); // the name is typed with letters
        // A game lost while the keys still show leaves no tick to fade them:
        // the field under the lettering is drawn again without them.
        const std::size_t below = w.scenes.Size() - 1;
        const auto* battle =
            below > 0 ? std::get_if<BattleScene>(&w.scenes.At(below - 1)) : nullptr;
        if (battle != nullptr && KeyGuideAlpha(w) > 0) {
            DrawWithoutKeys(*battle, w);
        }
        ClearField();
        DrawGameOver();
    } else if (over.naming) {
        over.naming = false;
        // The name entry showed the saved table and was left: on to the menu.
        if (over.saved) {
            return {Next::Kind::GameLost, {}};
        }
        // The save failed: back on this screen, though the caption is the
        // menu's again.
        return IdleWait(Screen::kPassMs);
    }
    Screen::ReadInput(Layout::kGameOverGrid);
    if (Screen::Clicked(Layout::kReturn)) {
        Display::SetTitle(Layout::kTitleMenu);
        return {Next::Kind::GameLost, {}};
    }
    if (Screen::Clicked(Layout::kSave)) {
        over.naming = true;
        return Open(w, NameEntryScene{});
    }
    return IdleWait(Screen::kPassMs);
}

} // namespace Morvek
