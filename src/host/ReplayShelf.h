// The Replays screen, reached from the highscores: the kept sessions listed
// with their date, options and best score, and one played again in the
// window as `--script` plays it. It is the host's, not a scene of the game:
// the files differ from machine to machine, and nothing the game's world did
// with them could replay the same. While it is open the host holds the
// window and the input; the program's run sees nothing of it (no input, no
// time, no random numbers, no table), and its frame comes back as it was.
#pragma once

#include <filesystem>

namespace Program::ReplayShelf {

// Shows the screen for the replays of `folder` until the player leaves it
// (Escape, the Return button) or closes the window, whose close the
// program's run then takes. Does nothing without a window, or in a run that
// a script or the autopilot drives.
void Open(const std::filesystem::path& folder);

} // namespace Program::ReplayShelf
