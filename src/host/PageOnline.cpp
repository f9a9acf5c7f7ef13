// The page's online name, leaderboard and replays, asked of and answered by
// its own HTML (web/online.js) while the game goes on.
#ifdef __EMSCRIPTEN__

#include "host/PageOnline.h"

#include "host/Online.h"

#include <emscripten.h>

#include <string>

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
}

#endif
