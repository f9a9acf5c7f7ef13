// The SDL side of a windowed run. SDL wants its events and its window on the
// process's main thread, so the main thread hosts the window and the game
// runs on a second thread that asks for what it needs.
#pragma once

#include <cstdint>
#include <string>

namespace Wimdows::Host {

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
// Ends the process from the game thread after the window is torn down.
[[noreturn]] void Quit(int code);

} // namespace Wimdows::Host
