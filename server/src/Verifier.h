// The verifier run as a child, in an empty folder of its own, under limits
// of CPU time, memory, wall-clock time and output.
#pragma once

#include "Verdict.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace Server {

struct VerifierSetup {
    std::string program; // the game, run as PROGRAM --verify FILE
    std::string media;   // a pictures folder linked in as Media, when not empty
    std::chrono::seconds cpu{120};
    std::chrono::seconds wall{180};
    std::size_t memoryBytes = std::size_t{1} << 30; // 0: no limit (sanitizer builds)
    std::size_t maxOutput = std::size_t{1} << 20;
};

// `stopping` set ends the child at once (the server is stopping).
VerifierExit RunVerifier(const VerifierSetup& setup, const std::string& recording,
                         const std::atomic<bool>& stopping);

} // namespace Server
