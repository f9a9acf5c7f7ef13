// The page draws the game's pictures itself at start-up, with the same
// generator the native build runs, rather than downloading 43 MB of them.
#include <emscripten.h>

int morvek_media_main(int argc, char** argv); // tools/MediaMain.cpp, renamed

extern "C" EMSCRIPTEN_KEEPALIVE int morvek_draw_media(const char* dir) {
    char name[] = "morvek-media", option[] = "--out";
    char* argv[] = {name, option, const_cast<char*>(dir), nullptr};
    return morvek_media_main(3, argv);
}
