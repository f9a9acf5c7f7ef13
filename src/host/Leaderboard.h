// The game's side of the leaderboard: finished games sent from the outbox
// (Outbox.h) in the background, followed until the server has verified
// them, and a board's top ten fetched for the screens. Host-side only: it
// never touches the game's world or its input, and nothing it does makes a
// frame wait on the network. Pump it once per turn of the host.
#pragma once

#include "host/Outbox.h"
#include "platform/Http.h"
#include "platform/SafeFile.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Program::Leaderboard {

struct Timing {
    // After a failure nothing is sent for this long, doubling up to the
    // last; a Retry-After from the server is waited instead.
    std::chrono::milliseconds firstRetry{30'000};
    std::chrono::milliseconds lastRetry{600'000};
    // How often a run being verified is asked after, growing to the last.
    std::chrono::milliseconds firstPoll{2'000};
    std::chrono::milliseconds lastPoll{30'000};
    // How often the outbox is looked at for runs other games left there.
    std::chrono::milliseconds rescan{60'000};
    int requestSeconds = Http::kTimeoutSeconds;
};

// Where the player's last run stands, as the board shows it.
enum class RunState {
    None,      // no run sent yet
    NoName,    // waiting for a player-name
    Waiting,   // waiting to be sent
    Verifying, // the server has it and replays it
    Placed,    // on the board at `place`
    Refused,   // for good, for `reason`
};

struct LastRun {
    RunState state = RunState::None;
    std::uint32_t game = 0;
    std::int64_t score = 0;
    std::int64_t place = 0; // Placed: 0 when the server named none (a hidden run)
    std::string board;      // Placed: "normal-fast"
    std::string reason;     // Refused: the server's words, one printable line
};

struct Status {
    LastRun last;
    std::size_t waiting = 0; // runs not yet answered for good, the last one counted
    // One line when something stands in the way, else empty: no leaderboard
    // set, the server out of reach, the outbox not writable.
    std::string trouble;
};

struct BoardRow {
    std::int64_t place = 0;
    std::string name;
    std::int64_t score = 0;
    bool won = false;
    std::string date;
};

enum class BoardState { None, Loading, Shown, Unreachable };

struct Board {
    BoardState state = BoardState::None;
    std::string difficulty, speed; // as the options screen names them
    std::vector<BoardRow> rows;    // best first; while loading, those known before
    std::string message;           // Unreachable: why, in one line
};

class Sender {
  public:
    // `address` is the checked leaderboard (settings' CheckAddress), empty
    // for none; `dataFolder` holds the highscore table, and the outbox
    // beside it; `playerName` is the checked player-name, empty for none.
    Sender(std::string address, std::filesystem::path dataFolder, std::string playerName,
           Timing timing = {});
    ~Sender();
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    // A game that counts has ended: its session's recording so far goes to
    // the outbox with its number in the session and its score. The caller
    // has checked that a leaderboard is set and that the game was neither a
    // practice start nor cheated.
    void GameEnded(const std::filesystem::path& recording, std::uint32_t game, std::int64_t score);
    // Runs waiting for a name are sent under this one.
    void SetPlayerName(std::string name);
    // Once per turn of the host: takes in what the server answered and
    // starts what is due. Never waits on the network.
    void Pump();

    const Status& State() const { return status_; }

    // Fetches the top ten of a board of this rules version in the
    // background; Shown() follows it.
    void RequestBoard(std::string_view difficulty, std::string_view speed);
    const Board& Shown() const { return board_; }

  private:
    enum class Call { None, Send, Ask };
    struct Poll {
        std::string id;
        std::chrono::steady_clock::time_point at;
        std::chrono::milliseconds every;
    };

    void Scan();
    std::optional<Entry> NextDue(std::chrono::steady_clock::time_point now) const;
    void Begin(const Entry& due, std::chrono::steady_clock::time_point now);
    void Answered(const Http::Response& response);
    void Settled(const Http::Response& response);
    void Keep(const Entry& entry);
    void Retry(const std::string& why, long retryAfter);
    void OutboxTrouble(const std::string& why);
    void Refresh();
    void StartBoard();
    void BoardAnswered(const Http::Response& response);

    std::string address_; // without a closing '/'
    Outbox outbox_;
    std::string playerName_;
    Timing timing_;

    Http::Client sends_, boards_;
    Call call_ = Call::None;
    Entry sending_;                      // the entry of the call under way
    std::optional<SafeFile::Lock> lock_; // the outbox's, held while a call is under way
    std::vector<Entry> entries_;
    std::optional<Entry> sent_;
    std::vector<Poll> polls_;
    std::chrono::steady_clock::time_point quietUntil_{}, nextScan_{};
    std::chrono::milliseconds delay_;
    bool scan_ = true;
    std::string outboxTrouble_, serverTrouble_;
    Status status_;

    Board board_;
    bool boardCalling_ = false;
    bool boardAgain_ = false; // another board was asked for while one was being fetched
};

// A name or value as it goes into a URL's query: all but letters, digits
// and "-._~" percent-encoded.
std::string UrlEncode(std::string_view text);

} // namespace Program::Leaderboard
