// A kept replay played again beside the program's game, as `--script` plays
// it: from the recording's own options and highscore table, nothing of this
// machine's, and writing nothing (its shots and states are dropped). The
// Replays screen scores the sessions with it, and shows them.
#pragma once

#include "host/SideGame.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace Program {

class ReplayGame {
  public:
    // Larger files are no replay the game keeps: an hour of play records a
    // few MB.
    static constexpr std::uintmax_t kMaxBytes = 64 * 1024 * 1024;

    // Reads `file` and sets the game up to play it. False, with why in one
    // line ("played by rules version 1, ...", "broken at line 7: ..."), for a
    // file that can't be played.
    bool Load(const std::filesystem::path& file, std::string& why);
    // How much of the file Load read: a replay still being written grows.
    std::uintmax_t Bytes() const { return bytes_; }
    // The time of its last input: after it the run goes on only until a
    // headless run gives up waiting.
    std::uint64_t LastMs() const { return lastMs_; }

    // One turn of the game (SideGame::Turn), then what the session came to.
    bool Turn();
    // The highest score any game of the session reached so far; none before
    // its first New Game.
    std::optional<std::uint32_t> Best() const { return best_; }
    // The options its first game was played with, as the options screen
    // names them; "" before it.
    const std::string& Difficulty() const { return difficulty_; }
    const std::string& Speed() const { return speed_; }
    // Its input is all played and no game is on: nothing more can score.
    bool Settled() const { return settled_; }

    // The game itself, to show its frames or look inside.
    SideGame& Game() { return game_; }

  private:
    void Seen();

    SideGame game_;
    std::uintmax_t bytes_ = 0;
    std::uint64_t lastMs_ = 0;
    bool settled_ = false;
    std::optional<std::uint32_t> best_;
    std::string difficulty_, speed_;
};

// What a replay's option lines say: its rules version (0 for none) and the
// options it starts from, as the options screen names them ("" for none).
struct ReplayStart {
    std::uint32_t rules = 0;
    std::string difficulty, speed;
};
// Reads them from the start of a recording, `head` (its first few KB: only
// whole lines are read). False with why, for a start that is no recording's.
bool ReadStart(std::string_view head, ReplayStart& start, std::string& why);
// Why a replay of `rules` can't be played here, "" when it can.
std::string RulesRefusal(std::uint32_t rules);

} // namespace Program
