// A place of the highscore table as a recording's option line holds it:
// `score PLACE NAME POINTS`. The table decides what the highscore screen
// shows, so a replay starts from the player's table, not the machine's.
#pragma once

#include "game/screens/ScoreFile.h"

#include <string>
#include <string_view>

namespace Morvek::ScoreOption {

// "score 3 ROBOTIC 5000". The name loses its padding blanks; a blank, '%',
// '#' or any byte that is no printable letter becomes %XX, so the line reads
// back whole and a name of blanks alone is "%20".
std::string Line(std::uint32_t place, const Highscore& entry);
// The value of such a line ("3 ROBOTIC 5000") into its place of `table`.
// False for anything else: a place out of 1..10, a name of more than seven
// bytes, a bad escape, points that are no number below 2^32.
bool Read(std::string_view value, ScoreFile::Table& table);

} // namespace Morvek::ScoreOption
