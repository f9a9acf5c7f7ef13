#include "util/Random.h"

#include <gtest/gtest.h>

#include <set>

using Random::Between;

class RandomTest : public ::testing::Test {
  protected:
    void SetUp() override { Random::Reset(); }
};

TEST_F(RandomTest, FirstDrawsFollowTheFixedStart) {
    EXPECT_EQ(Between(1, 100), 71u);
    EXPECT_EQ(Between(1, 100), 23u);
    EXPECT_EQ(Between(1, 100), 84u);
    const std::uint32_t expected[] = {546, 327, 446, 682, 452, 762, 168, 352};
    for (auto e : expected) {
        EXPECT_EQ(Random::Next(), e);
    }
}

TEST_F(RandomTest, FullRangeVisitsEveryValueButTheFixedPointOncePerPeriod) {
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 1012; ++i) {
        const auto v = Between(0, 1012);
        EXPECT_EQ(v, Random::Seed()); // the result is the generator value itself
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 1012u);
    EXPECT_EQ(seen.count(509), 0u);
    EXPECT_EQ(Random::Seed(), 94u); // back at the start after one period
}

TEST_F(RandomTest, EqualBoundsStillAdvance) {
    EXPECT_EQ(Between(5, 5), 5u);
    EXPECT_EQ(Random::Seed(), 716u);
}

TEST_F(RandomTest, ReversedBoundsReportAndKeepTheState) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Between(10, 3), 10u);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "morvek: Random::Between: min 10 is bigger than max 3\n");
    EXPECT_EQ(Random::Seed(), 94u);
}

TEST_F(RandomTest, ResultsStayInRange) {
    for (int i = 0; i < 3000; ++i) {
        const auto v = Between(200, 480);
        ASSERT_GE(v, 200u);
        ASSERT_LE(v, 480u);
    }
}
