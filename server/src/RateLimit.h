// Submissions per address: a bucket of `burst` tokens, refilled at `perMinute`.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace Server {

class RateLimit {
  public:
    using Clock = std::chrono::steady_clock;

    RateLimit(double perMinute, double burst) : perMinute_(perMinute), burst_(burst) {}

    // 0 when `address` may submit now (a token taken), else the whole
    // seconds until it may.
    long Take(const std::string& address, Clock::time_point now = Clock::now());

  private:
    struct Bucket {
        double tokens;
        Clock::time_point at;
    };
    const double perMinute_, burst_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};

} // namespace Server
