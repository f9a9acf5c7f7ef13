// Xlib ends the process from inside its own calls (exit(1)) when the X
// server goes away or another client destroys our window, while the game's
// thread still runs on into freed memory. Watch() routes both to `lost`
// instead, called on the window's thread; it must not return.
#pragma once

namespace Display::X11Watch {

// Does nothing unless SDL runs on X11 (it must be initialised first).
void Watch(void (*lost)());

} // namespace Display::X11Watch
