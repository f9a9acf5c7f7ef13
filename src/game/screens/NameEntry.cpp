#include "game/screens/NameEntry.h"

#include "display/Display.h"
#include "display/KeyCodes.h"
#include "game/core/World.h"
#include "game/levels/Battle.h"
#include "game/screens/Focus.h"
#include "game/screens/Highscore.h"
#include "game/screens/Layout.h"
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

// A save waiting for another game's says so about every second.
constexpr std::uint32_t kNoticeEvery = 100;
constexpr std::string_view kWaitingNotice = "WAITING FOR ANOTHER GAME TO SAVE ITS HIGHSCORES";

// The name being typed: the result's row below the table's ten places.
auto& Name(World& w) {
    return w.scores[kResultPlace].name;
}

// The lettering over the screen's back: GAME OVER, or a winner's title.
void DrawLettering(bool won) {
    if (!won) {
        Screen::DrawMasked(Layout::kGameOverPicture, Layout::kGameOverAt);
        return;
    }
    const Layout::Lettering& t = Layout::kVictoryTitle;
    Display::SetFont(Layout::kFontStyle, Layout::kBlack);
    Display::Text(t.text, t.at.x + Layout::kVictoryShadow, t.at.y + Layout::kVictoryShadow,
                  t.scale);
    Display::SetFont(Layout::kFontStyle, Layout::kGold);
    Display::Text(t.text, t.at.x, t.at.y, t.scale);
}

// The field's inside drawn afresh, so a letter taken back leaves no trace.
void DrawName(const std::array<char, 7>& name, bool won) {
    const auto& f = Layout::kNameField;
    Display::SetClip(f.x1 + 1, f.y1 + 1, f.x2 - 1, f.y2 - 1);
    Screen::Draw(Layout::kGameOverBack, {0, 0});
    DrawLettering(won);
    Display::ClearClip();
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Display::Text(std::string_view(name.data(), name.size()), Layout::kNameAt.x, Layout::kNameAt.y);
}

void Open(World& w, bool won) {
    ClearField();
    // A name holds only what is typed here: letters pressed in play or in
    // the menus (M for the sound, say) are still queued.
    Display::FlushKeys();
    // The caption stays the game over's: it is part of the game's state.
    Display::SetTitle(Layout::kTitleGameOverSave);
    Screen::Draw(Layout::kGameOverBack, {0, 0});
    DrawLettering(won);
    Screen::DrawReturnButton();
    Display::SetFont(Layout::kFontStyle, Layout::kWhite);
    Screen::DrawLabel(Layout::kNamePrompt);
    Screen::Frame(Layout::kNameField);
    Name(w).fill(' ');
}

// Tells the game-over screen below, if there is one, how the save went.
void Report(World& w, bool saved) {
    if (w.scenes.Size() >= 2) {
        if (auto* over = std::get_if<GameOverScene>(&w.scenes.At(w.scenes.Size() - 2))) {
            over->saved = saved;
        }
    }
}

// Where the saved result stands: the lowest row of its name and score, as
// a result goes below the equal scores already there; 0 below the ten.
std::uint32_t PlaceOf(const ScoreFile::Table& table, const std::array<char, 7>& name,
                      std::uint32_t points) {
    for (std::uint32_t i = ScoreFile::kPlaces; i >= 1; --i) {
        if (table[i].points == points && table[i].name == name) {
            return i;
        }
    }
    return 0;
}

// Saves the result, or waits for another game's save to end.
Next Save(NameEntryScene& entry, World& w) {
    const std::array<char, 7> name = Name(w);
    const SaveOutcome outcome = TrySaveResult(entry.tries);
    if (outcome == SaveOutcome::Busy) {
        if (entry.tries % kNoticeEvery == 0) {
            Display::Notice(kWaitingNotice);
        }
        ++entry.tries;
        return OutsideWait(ScoreFile::kSaveRetryMs);
    }
    Display::FlushKeys();
    Report(w, outcome == SaveOutcome::Saved);
    if (outcome != SaveOutcome::Saved) {
        return Done();
    }
    // The table answers the save; the click or key that saved must be let
    // go before one goes on.
    entry.answered = true;
    entry.place = PlaceOf(w.scores, name, w.score);
    DrawHighscores(entry.place);
    return Open(w, ReleaseScene{});
}

// The saved table stays until Return, Escape or a click anywhere. The keys
// are read from the queue, as the name was: a tap shorter than a poll counts.
Next Answered(NameEntryScene& entry) {
    if (!entry.listening) {
        entry.listening = true;
        Display::FlushKeys(); // what was queued while the saving key was held
    }
    bool onward = false;
    while (Display::KeyQueued()) {
        const std::uint32_t key = Display::TakeKey();
        onward = onward || key == KeyCode::kReturn || key == KeyCode::kEscape;
    }
    Screen::ReadInput(Layout::kReturnGrid);
    if (Screen::Clicked(Layout::kReturn) || Display::MouseLeft() || onward) {
        Display::FlushKeys();
        Display::SetTitle(Layout::kTitleMenu);
        return Done();
    }
    return IdleWait(Screen::kPassMs);
}

} // namespace

Next Update(NameEntryScene& entry, World& w) {
    if (!entry.shown) {
        entry.shown = true;
        entry.t = 1;
        Open(w, entry.won);
    }
    if (entry.answered) {
        return Answered(entry);
    }
    if (entry.saving) {
        return Save(entry, w);
    }
    auto& name = Name(w);
    for (;;) {
        // Until the name is full every pass waits for a key, so the Return
        // button is tested once per key press; a full name waits no more.
        bool enter = false;
        if (entry.t < 8 || Display::KeyQueued()) {
            if (!Display::KeyQueued()) {
                return KeyWait();
            }
            const std::uint32_t key = Display::TakeKey();
            enter = key == KeyCode::kReturn;
            if (key == KeyCode::kBackspace && EraseLetter(name, entry.t)) {
                DrawName(name, entry.won);
            } else {
                TypeLetter(name, entry.t, key);
                Display::Text(std::string_view(name.data(), name.size()), Layout::kNameAt.x,
                              Layout::kNameAt.y);
            }
        }
        Screen::ReadInput(Layout::kNameGrid);
        if (Screen::Clicked(Layout::kReturn) || enter) {
            Display::SetTitle(Layout::kTitleMenu);
            entry.saving = true;
            return Save(entry, w);
        }
        if (entry.t >= 8) {
            return IdleWait(Screen::kPassMs);
        }
    }
}

} // namespace Morvek
