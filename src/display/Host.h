// The SDL side of a windowed run. SDL wants its events and its window on the
// process's main thread, which is the game's one thread too: the game's
// waits serve the window (Serve).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Display::Host {

// How the window shows the frame; set before Start.
struct Settings {
    bool fullscreen = false;   // on the desktop's resolution
    std::uint32_t scale = 1;   // first window size: the frame this many times, if it fits
    bool integerScale = false; // only whole multiples of the frame, sharp at any size
    // Told when F11 or Alt+Enter switched the full screen.
    std::function<void(bool fullscreen)> fullscreenSwitched;
};
void Configure(const Settings& settings);

// Before the game starts: false, with SDL's reason, when there is no display.
bool Start(std::string& error);
// Whether Start succeeded and there is a window to serve.
bool Running();
// Handles the window's events (input goes to Run::Post) for `ms`, or without
// end when none is given, until `enough` holds.
void Serve(std::optional<std::uint32_t> ms, const std::function<bool()>& enough);
// Called in every pass of Serve, at least once a second: the host's own work
// that goes on whatever the window waits for, a key or a host's screen (the
// leaderboard's sending). It must not touch a game nor post input.
void SetServeHook(std::function<void()> hook);

bool Open(const std::string& title, std::uint32_t width, std::uint32_t height);
void Close();
void SetTitle(const std::string& title);
// Shows the newest presented frame.
void Present();
// Lays a short note over the window for about two seconds, never into the
// frame; does nothing without a window. Any thread: it shows at the next
// Present or Serve.
void ShowNote(std::string_view text);
// The attract demo's: how long the player has left the window alone, in
// the host's own time (0 without a window).
std::uint64_t IdleMs();
// What the player did while the host holds the input.
struct Taken {
    enum class Kind : std::uint8_t {
        Key,   // a key or a controller's button went down (auto-repeats too)
        Click, // a mouse button went down
        Move,  // the pointer moved
        Wheel, // the mouse wheel turned
        Close, // the close box: the program's run is told as well, and ends
    };
    Kind kind = Kind::Key;
    // Key: the game's code for it (KeyCodes.h), a button's as the key it
    // stands for; 0 for one the game has no code for.
    std::uint32_t code = 0;
    // Click and Move: the frame's pixel. Wheel: y > 0 turned away from the player.
    std::int32_t x = 0, y = 0;
};
// Until Unclaim, the player's input is the host's: keys, clicks, pad buttons
// and the pointer go to `taken` and reach no game, nor do the releases of
// what went down meanwhile; `band` lies across the window ("" for none).
// Frames shown meanwhile, and the first after, go up whole, so a claimer may
// show the frames of several runs in turn; claiming again changes the band.
void Claim(std::function<void(const Taken&)> taken, std::string band);
// Hands the pointer's position to the game as one move.
void Unclaim();
// Ends the process after the window is torn down.
[[noreturn]] void Quit(int code);

} // namespace Display::Host
