// The pace of a replay in the window: fast forward goes on from where the
// replay stands, and the waits it asks for bring each input on time.
#include "host/ReplayPace.h"

#include <gtest/gtest.h>

namespace {

using Program::ReplayPace;
using namespace std::chrono_literals;

TEST(ReplayPace, ChangingSpeedNeverJumpsAndTheFastestGoesBackToTheRecordedPace) {
    const auto start = ReplayPace::Clock::now();
    ReplayPace pace(start);
    EXPECT_EQ(pace.At(start + 1500ms), 1500u);

    pace.Faster(start + 2000ms);
    EXPECT_EQ(pace.Speed(), 4u);
    EXPECT_EQ(pace.At(start + 2000ms), 2000u) << "a jump as the speed changes";
    EXPECT_EQ(pace.At(start + 3000ms), 6000u);

    pace.Faster(start + 3000ms);
    EXPECT_EQ(pace.At(start + 3500ms), 6000u + 16 * 500);
    pace.Faster(start + 4000ms);
    EXPECT_EQ(pace.Speed(), 1u) << "F after the fastest";
    EXPECT_EQ(pace.At(start + 5000ms), 6000u + 16 * 1000 + 1000);

    // A clock read before the last change never takes the replay back
    EXPECT_EQ(pace.At(start + 3000ms), 22000u);
}

TEST(ReplayPace, AWaitEndsNoEarlierThanItsInputAndNoLaterThanAsked) {
    const auto start = ReplayPace::Clock::now();
    ReplayPace pace(start);
    EXPECT_EQ(pace.Wait(250, start + 100ms, 1000), 150u);
    EXPECT_EQ(pace.Wait(250, start + 300ms, 1000), 0u) << "an input overdue";
    EXPECT_EQ(pace.Wait(5000, start, 100), 100u);

    pace.Faster(start); // x4
    // 10 ms of the replay are 2.5 ms of real time: waiting 2 would wake too soon
    EXPECT_EQ(pace.Wait(10, start, 100), 3u);
    EXPECT_EQ(pace.Wait(400, start, 1000), 100u);
}

} // namespace
