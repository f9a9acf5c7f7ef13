// The page's online name, leaderboard and replays, asked of and answered by
// its own HTML (web/online.js) while the game goes on.
#ifdef __EMSCRIPTEN__

#include "host/PageOnline.h"

#include "host/Online.h"
#include "host/ReplayList.h"

#include <emscripten.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace Program::PageOnline {

void AskName(const std::string& current) {
    EM_ASM(
        {
            if (Module['onAskName']) {
                Module['onAskName'](UTF8ToString($0));
            }
        },
        current.c_str());
}

void ShowReplays() {
    EM_ASM({
        if (Module['onReplays']) {
            Module['onReplays']();
        }
    });
}

void GameEnded() {
    EM_ASM({
        if (Module['onGameFinished']) {
            Module['onGameFinished']();
        }
    });
}

} // namespace Program::PageOnline

namespace {

// What the last call refused, for the page to show; "" when it took it.
std::string refused;

// The page's list of replays while it is shown: scored a slice at a time
// between the page's frames, as the native screen scores them between its own.
struct Shelf {
    std::vector<Program::ReplayShelf::Entry> entries;
    std::unique_ptr<Program::ReplayShelf::Scorer> scorer;
    std::string text;
};

Shelf& Listed() {
    static Shelf shelf;
    return shelf;
}

// One line a replay, newest first: name, start, difficulty, speed, best
// ("-" for none, "?" until found), and why it can't be played.
const char* ListText() {
    Shelf& shelf = Listed();
    shelf.text.clear();
    for (const auto& e : shelf.entries) {
        const std::string best = !e.scored ? "?" : e.best ? std::to_string(*e.best) : "-";
        shelf.text += e.name + '\t' + e.when + '\t' + e.difficulty + '\t' + e.speed + '\t' + best +
                      '\t' + e.refused + '\n';
    }
    return shelf.text.c_str();
}

} // namespace

extern "C" {

// The leaderboard the player chose on the page ("" for none), and the line
// its board shows while there is none. "" when taken, else why not.
EMSCRIPTEN_KEEPALIVE const char* morvek_use_leaderboard(const char* address, const char* none) {
    refused.clear();
    Program::Online::UseAddress(address, none, refused);
    return refused.c_str();
}

// The online name typed into the page's form. "" when taken, else why not.
EMSCRIPTEN_KEEPALIVE const char* morvek_choose_name(const char* name) {
    refused.clear();
    Program::Online::ChooseName(name, refused);
    return refused.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* morvek_player_name() {
    return Program::Online::PlayerName().c_str();
}

// The replays of `folder` as the page lists them (ListText); their best
// scores are then found by morvek_score_replays.
EMSCRIPTEN_KEEPALIVE const char* morvek_list_replays(const char* folder) {
    Shelf& shelf = Listed();
    shelf.entries = Program::ReplayShelf::List(folder);
    shelf.scorer = std::make_unique<Program::ReplayShelf::Scorer>(folder);
    return ListText();
}

// Replays for about `ms`: 1 when a score was found meanwhile (the list is
// then read anew), 0 when none was, -1 once all are found or the list closed.
EMSCRIPTEN_KEEPALIVE int morvek_score_replays(int ms) {
    Shelf& shelf = Listed();
    if (!shelf.scorer || !Program::ReplayShelf::Scorer::Left(shelf.entries)) {
        shelf.scorer.reset();
        return -1;
    }
    return shelf.scorer->Work(shelf.entries, std::chrono::milliseconds(ms)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* morvek_listed_replays() {
    return ListText();
}

EMSCRIPTEN_KEEPALIVE void morvek_close_replays() {
    Listed() = {};
}
}

#endif
