// The verifier run as a child, in an empty folder of its own, under limits
// of CPU time, memory, wall-clock time and output.
#pragma once

#include "Verdict.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>

namespace Server {

// A sanitizer's shadow memory fits no address-space limit, and the game
// beside a sanitizer build of the server is one too: no limit there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr std::size_t kDefaultMemoryMb = 0;
#else
inline constexpr std::size_t kDefaultMemoryMb = 1024;
#endif

struct VerifierSetup {
    std::string program; // the game, run as PROGRAM --verify FILE
    std::string media;   // a pictures folder linked in as Media, when not empty
    std::chrono::seconds cpu{120};
    std::chrono::seconds wall{180};
    std::size_t memoryBytes = kDefaultMemoryMb << 20; // 0: no limit
    std::size_t maxOutput = std::size_t{1} << 20;
};

// `stopping` set ends the child at once (the server is stopping).
VerifierExit RunVerifier(const VerifierSetup& setup, const std::string& recording,
                         const std::atomic<bool>& stopping);

} // namespace Server
