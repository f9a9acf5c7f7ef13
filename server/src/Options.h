// The command line.
#pragma once

#include "Verifier.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Server {

struct Options {
    std::string address = "127.0.0.1";
    int port = 8080;
    std::string database = "leaderboard.db";
    std::string verifier; // empty: the game beside the server
    std::string media;
    std::string play;     // empty: the browser build's folder of the source tree
    unsigned workers = 0; // 0: one per core
    unsigned threads = 16;
    std::vector<std::string> trustedProxies;
    double ratePerMinute = 10;
    double burst = 10;
    std::int64_t maxPending = 20;
    std::chrono::seconds readTimeout{10}, writeTimeout{10};
    std::chrono::seconds verifyCpu{120}, verifyWall{180};
    std::size_t verifyMemoryMb = kDefaultMemoryMb;
    std::chrono::seconds lease{600};

    // hide RUN --reason TEXT, or unhide RUN; empty to serve
    std::string command;
    std::int64_t run = 0;
    std::string reason;
};

// Nothing, with `error` set, when the command line is wrong; `help` when asked for it.
std::optional<Options> ReadOptions(const std::vector<std::string>& args, std::string& error,
                                   bool& help);

extern const char* const kUsage;

} // namespace Server
