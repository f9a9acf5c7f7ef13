// The server's JSON is the game's own (src/util/Json.h): the leaderboard
// client reads the same answers the server writes.
#pragma once

#include "util/Json.h"

namespace Server {
namespace Json = Util::Json;
} // namespace Server
