// How fast a replay in the window goes: at its recorded pace, or several
// times faster. Its time is the replay's own, in milliseconds; a change of
// speed goes on from where the replay stands, never jumping.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace Program {

class ReplayPace {
  public:
    using Clock = std::chrono::steady_clock;
    // The speeds F steps through, then back to the first.
    static constexpr std::array<std::uint32_t, 3> kSpeeds{1, 4, 16};

    explicit ReplayPace(Clock::time_point start) : since_(start) {}

    // Where the replay should stand at `now`.
    std::uint64_t At(Clock::time_point now) const;
    // The next speed, from where the replay stands at `now`.
    void Faster(Clock::time_point now);
    std::uint32_t Speed() const { return kSpeeds[step_]; }
    // The real milliseconds to wait at `now` for the replay's `due`, at most `most`.
    std::uint32_t Wait(std::uint64_t due, Clock::time_point now, std::uint32_t most) const;

  private:
    Clock::time_point since_; // when the speed was last changed
    std::uint64_t base_ = 0;  // where the replay stood then
    std::size_t step_ = 0;
};

} // namespace Program
