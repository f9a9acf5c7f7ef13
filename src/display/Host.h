// The SDL side of a windowed run. SDL wants its events and its window on the
// process's main thread, so the main thread hosts the window and the game
// runs on a second thread that asks for what it needs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace Display::Host {

// How the window shows the frame; set before Start.
struct Settings {
    bool fullscreen = false;   // on the desktop's resolution
    std::uint32_t scale = 1;   // first window size: the frame this many times, if it fits
    bool integerScale = false; // only whole multiples of the frame, sharp at any size
    // Told on the window's thread when F11 or Alt+Enter switched the full screen.
    std::function<void(bool fullscreen)> fullscreenSwitched;
};
void Configure(const Settings& settings);

// Main thread, before the game starts: false, with SDL's reason, when there is no display.
bool Start(std::string& error);
// Main thread: serves the window until the run ends, then exits the process.
[[noreturn]] void Loop();
// Whether Start succeeded and the loop serves a window.
bool Running();

// Game thread. Each returns once the main thread has done it.
bool Open(const std::string& title, std::uint32_t width, std::uint32_t height);
void Close();
void SetTitle(const std::string& title);
// Asks for the newest presented frame to be shown; never waits.
void Present();
// Lays a short note over the window for about two seconds, never into the
// frame; does nothing without a window. Any thread.
void ShowNote(std::string_view text);
// Ends the process from the game thread after the window is torn down.
[[noreturn]] void Quit(int code);

} // namespace Display::Host
