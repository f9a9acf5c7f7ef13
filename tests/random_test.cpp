#include "util/Random.h"

#include <gtest/gtest.h>

#include <set>

class RandomTest : public ::testing::Test {
  protected:
    std::uint32_t Between(std::uint32_t min, std::uint32_t max) { return g.Between(min, max); }
    Random::Generator g;
};

TEST_F(RandomTest, FirstDrawsFollowTheFixedStart) {
    EXPECT_EQ(Between(1, 100), 71u);
    EXPECT_EQ(Between(1, 100), 23u);
    EXPECT_EQ(Between(1, 100), 84u);
    const std::uint32_t expected[] = {546, 327, 446, 682, 452, 762, 168, 352};
    for (auto e : expected) {
        EXPECT_EQ(g.Next(), e);
    }
}

TEST_F(RandomTest, FullRangeVisitsEveryValueButTheFixedPointOncePerPeriod) {
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 1012; ++i) {
        const auto v = Between(0, 1012);
        EXPECT_EQ(v, g.Seed()); // the result is the generator value itself
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 1012u);
    EXPECT_EQ(seen.count(509), 0u);
    EXPECT_EQ(g.Seed(), 94u); // back at the start after one period
}

TEST_F(RandomTest, EqualBoundsStillAdvance) {
    EXPECT_EQ(Between(5, 5), 5u);
    EXPECT_EQ(g.Seed(), 716u);
}

TEST_F(RandomTest, ReversedBoundsReportAndKeepTheState) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Between(10, 3), 10u);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "morvek: Random::Between: min 10 is bigger than max 3\n");
    EXPECT_EQ(g.Seed(), 94u);
}

TEST_F(RandomTest, ResultsStayInRange) {
    for (int i = 0; i < 3000; ++i) {
        const auto v = Between(200, 480);
        ASSERT_GE(v, 200u);
        ASSERT_LE(v, 480u);
    }
}

// Two generators draw on their own: a second game beside the first does not
// take its numbers.
TEST_F(RandomTest, GeneratorsKeepTheirOwnState) {
    Random::Generator other;
    Between(1, 100);
    EXPECT_EQ(other.Between(1, 100), 71u); // the first draw from the start
    EXPECT_EQ(Between(1, 100), 23u);       // the second one here
    other = g;
    EXPECT_EQ(other.Next(), g.Next());
}
