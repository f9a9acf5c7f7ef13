#include "host/ReplayPace.h"

#include <algorithm>

namespace Program {

std::uint64_t ReplayPace::At(Clock::time_point now) const {
    const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(now - since_).count();
    return base_ + static_cast<std::uint64_t>(std::max<std::int64_t>(real, 0)) * Speed();
}

void ReplayPace::Faster(Clock::time_point now) {
    base_ = At(now);
    since_ = now;
    step_ = (step_ + 1) % kSpeeds.size();
}

std::uint32_t ReplayPace::Wait(std::uint64_t due, Clock::time_point now, std::uint32_t most) const {
    const std::uint64_t at = At(now);
    if (due <= at) {
        return 0;
    }
    // Rounded up, so a wait never ends just before its time and spins
    const std::uint64_t real = (due - at + Speed() - 1) / Speed();
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(real, most));
}

} // namespace Program
