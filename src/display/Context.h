// A run of its own beside the program's: its clock, script, recording, keys,
// window state, back buffer, frames, pictures and font. The display layer works on
// one run at a time, the active one; a context keeps another, and Exchange
// makes it the active one for a while.
#pragma once

#include <memory>

namespace Display::Run {

class Context {
  public:
    // A fresh headless run: clock 0, no window, no script, no recording.
    Context();
    ~Context();
    Context(Context&&) noexcept;
    Context& operator=(Context&&) noexcept;
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    // Swaps what this context keeps with the active run: the display layer
    // then works on this run, and the context keeps the one that was active
    // until the next Exchange gives it back.
    void Exchange();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace Display::Run
