// A fresh run for a test: headless window open, buffering on, world and
// random numbers back at program start.
#pragma once

namespace TestWorld {

// Opens the headless window; the world is all zero as at program start. A run
// out of input asks to end (Display::Run::EndAsked); one that ends for good
// fails the test program.
void Fresh();
// Fresh(), then the state a new game leaves (without reading highscores):
// dragon reset, level 1, counter 1, difficulty 4, options at their defaults.
void NewGameState();

} // namespace TestWorld
