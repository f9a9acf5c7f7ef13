// What the game will need to join a leaderboard: the server's address and the
// name to show there. Both come from the player's hand (settings.ini, the
// command line), so they are checked strictly before anything uses them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Settings::Online {

// Longer than any address a player types; a longer one is a mistake.
constexpr std::size_t kMaxAddress = 1024;
constexpr std::size_t kMaxName = 7; // as the name entry and the leaderboard take it

// A recording goes only to this machine in plain http, or anywhere over
// https: `http://127.0.0.1` or `http://localhost`, or `https://HOST`, each
// with an optional `:PORT` and path. No user info, no fragment, nothing a
// terminal or a shell would act on. True with the address as it will be
// used (scheme and host in lower case); false with the reason.
bool CheckAddress(std::string_view address, std::string& normal, std::string& why);

// 1 to 7 letters A-Z in either case: the leaderboard shows names as the
// highscore table does, in capitals. False with the reason.
bool CheckName(std::string_view name, std::string& why);

} // namespace Settings::Online
