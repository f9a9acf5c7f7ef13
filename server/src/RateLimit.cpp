#include "RateLimit.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace Server {

namespace {

// Past this many addresses the full buckets are dropped: they are as good as new.
constexpr std::size_t kForgetAbove = 10000;

} // namespace

long RateLimit::Take(const std::string& address, Clock::time_point now) {
    const std::lock_guard lock(mutex_);
    const auto refill = [&](Bucket& b) {
        const double minutes = std::chrono::duration<double, std::ratio<60>>(now - b.at).count();
        b.tokens = std::min(burst_, b.tokens + std::max(0.0, minutes) * perMinute_);
        b.at = now;
    };
    if (buckets_.size() > kForgetAbove) {
        for (auto it = buckets_.begin(); it != buckets_.end();) {
            refill(it->second);
            it = it->second.tokens >= burst_ ? buckets_.erase(it) : std::next(it);
        }
    }
    auto [it, fresh] = buckets_.try_emplace(address, Bucket{burst_, now});
    Bucket& b = it->second;
    refill(b);
    if (b.tokens >= 1.0) {
        b.tokens -= 1.0;
        return 0;
    }
    if (perMinute_ <= 0) {
        return 3600;
    }
    return std::max(1L, static_cast<long>(std::ceil((1.0 - b.tokens) * 60.0 / perMinute_)));
}

} // namespace Server
