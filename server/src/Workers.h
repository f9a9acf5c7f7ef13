// The workers: each takes a job, runs the verifier on it and stores the
// run's result, until the server stops.
#pragma once

#include "Storage.h"
#include "Verifier.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Server {

class Workers {
  public:
    // `name` tells this process's claims apart from another's in the jobs table.
    Workers(Storage& storage, VerifierSetup setup, std::string name, unsigned count,
            std::chrono::seconds lease);
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;
    ~Workers();

    // A job is waiting: a worker looks now rather than at its next round.
    void Wake();

  private:
    void Work(unsigned index);

    Storage& storage_;
    const VerifierSetup setup_;
    const std::string name_;
    const std::chrono::seconds lease_;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t woken_ = 0;
    std::vector<std::thread> threads_;
};

} // namespace Server
