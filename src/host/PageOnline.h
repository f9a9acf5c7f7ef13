// The page's side of the host's own screens: its HTML beside the canvas asks
// the online name and lists the kept replays while the game goes on, so that
// nothing waits on the page's one thread (web/online.js). The page answers
// through the functions PageOnline.cpp exports to it. Only in the page.
#pragma once

#include <string>

namespace Program::PageOnline {

// Shows the page's name form, `current` filled in.
void AskName(const std::string& current);
// Shows the page's list of its kept replays.
void ShowReplays();
// A game of the session has ended: the page keeps its storage now.
void GameEnded();

} // namespace Program::PageOnline
