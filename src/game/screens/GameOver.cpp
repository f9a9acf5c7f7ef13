#include "game/screens/GameOver.h"
#include "display/Bindings.h"
#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"
#include "game/levels/FrameLoop.h"
#include "game/screens/Layout.h"
#include "game/screens/NameEntry.h"
#include "game/screens/ScoreFile.h"
#include "game/screens/Screen.h"

#include <string_view>

namespace Morvek {

bool TypeLetter(std::array<char, 7>& name, std::uint32_t& t, std::uint32_t key) {
    if (t < 1 || t > name.size() || key < 'A' || key > 'Z') {
        return false;
    }
    name[t - 1] = static_cast<char>(key);
    ++t;
    return true;
}

bool EraseLetter(std::array<char, 7>& name, std::uint32_t& t) {
    if (t <= 1 || t > name.size() + 1) {
        return false;
    }
    --t;
    name[t - 1] = ' ';
    return true;
}

namespace {

namespace KeyCode = Display::KeyCode;

// The field's inside drawn afresh, so a letter taken back leaves no trace.
void DrawName(const std::array<char, 7>& name) {
    const auto& f = Layout::kNameField;
    Display::SetClip(f.x1 + 1, f.y1 + 1, f.x2 - 1, f.y2 - 1);
    Screen::Draw(Layout::kGameOverBack, {0, 0});
    Screen::DrawMasked(Layout::kGameOverPicture, Layout::kGameOverAt);
    Display::ClearClip();
    Display::Text(std::string_view(name.data(), name.size()), Layout::kNameAt.x, Layout::kNameAt.y);
}

// The name entry; returns whether the result reached the file.
bool NameEntry() {
    ClearField();
    // A name holds only what is typed here: letters pressed in play or in
    // the menus (M for the sound, say) are still queued.
    Display::FlushKeys();
    std::uint32_t t = 1;
    world.mode = Mode::NameEntry;
    Display::SetTitle(Layout::kTitleGameOverSave);
    Screen::Draw(Layout::kGameOverBack, {0, 0});
    Screen::DrawMasked(Layout::kGameOverPicture, Layout::kGameOverAt);
    Screen::DrawReturnButton();
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kNamePrompt);
    Screen::Frame(Layout::kNameField);
    auto& name = world.scores[11].name;
    name.fill(' ');
    Display::UpdateWindow();

    bool saved = false;
    for (;;) {
        // Until the name is full every pass waits for a key, so the Return
        // button is tested once per key press; a full name waits no more.
        bool enter = false;
        if (t < 8 || Display::KeyQueued()) {
            const std::uint32_t key = Display::GetKey();
            enter = key == KeyCode::kReturn;
            if (key == KeyCode::kBackspace && EraseLetter(name, t)) {
                DrawName(name);
            } else {
                TypeLetter(name, t, key);
                Display::Text(std::string_view(name.data(), name.size()), Layout::kNameAt.x,
                              Layout::kNameAt.y);
            }
        }
        Screen::ReadInput(Layout::kNameGrid);
        if (Screen::Clicked(Layout::kReturn) || enter) {
            Display::SetTitle(Layout::kTitleMenu);
            saved = SaveResult();
            break;
        }
        if (t >= 8) {
            Display::IdleSleep(20);
        }
    }
    Display::FlushKeys();
    return saved;
}

} // namespace

void GameOver() {
    Display::Bindings::SetPlaying(false); // the name is typed with letters
    ClearField();
    world.mode = Mode::GameOver;
    Display::SetTitle(Layout::kTitleGameOver);
    Screen::DrawMasked(Layout::kGameOverPicture, Layout::kGameOverAt);
    Screen::Draw(Layout::kReturnPicture, {Layout::kReturn.x1, Layout::kReturn.y1});
    Screen::Draw(Layout::kSavePicture, {Layout::kSave.x1, Layout::kSave.y1});
    Screen::Frame(Layout::kReturn);
    Screen::Frame(Layout::kSave);
    Display::UpdateWindow();

    // One result is saved once. After a save the name entry's picture stays
    // up with Return alone: its Save button is gone, and so is its frame.
    bool saved = false;
    for (;;) {
        Screen::ReadInput(saved ? Layout::kNameGrid : Layout::kGameOverGrid);
        if (Screen::Clicked(Layout::kReturn)) {
            Display::SetTitle(Layout::kTitleMenu);
            world.returnToMenu = true;
            return;
        }
        if (!saved && Screen::Clicked(Layout::kSave)) {
            saved = NameEntry();
            // Back on this screen, though the caption is the menu's again.
            world.mode = Mode::GameOver;
        }
        Display::IdleSleep(20);
    }
}

void GameOverSave() {
    NameEntry();
}

} // namespace Morvek
