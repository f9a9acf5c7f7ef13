// The leaderboard's table on the highscore screen. What it shows comes from
// the host, which talks to the server in the background; the game only
// draws it, so nothing of it reaches the game's course or its states.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Morvek {

struct World;

struct OnlineRow {
    std::uint32_t place = 0;
    std::string name;
    std::uint64_t score = 0;
    bool won = false;
};

struct OnlineBoard {
    bool set = false;            // a leaderboard is set
    std::uint64_t news = 0;      // moves on whenever anything below changed
    std::vector<OnlineRow> rows; // the server's top ten, best first
    std::string status;          // one line: why the rows are missing, "" when shown
    std::string lastRun;         // the player's last run: waiting, verified, placed, refused
    std::string name;            // the player's online name, "" while none is chosen
};

// The host's view of the board named like "normal-fast"; called as the
// screen polls, so it must answer at once from what it already knows.
using OnlineSource = std::function<OnlineBoard(const std::string& board)>;
void SetOnlineSource(OnlineSource source);

// The board of the difficulty and speed chosen now: "easy-slow".."hard-fast".
std::string BoardName(const World& w);
// The board as the host knows it now.
OnlineBoard CurrentBoard(const World& w);
// Draws the rows, the status and the last run over the highscore screen's
// background.
void DrawOnlineRows(const OnlineBoard& board);

} // namespace Morvek
