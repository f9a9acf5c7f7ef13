#include "util/StandardLib.h"

#include <gtest/gtest.h>

#include <set>

using StandardLib::RandomCard;

class RandomTest : public ::testing::Test {
  protected:
    void SetUp() override { StandardLib::ResetRandom(); }
};

TEST_F(RandomTest, FirstDrawsFollowTheFixedStart) {
    EXPECT_EQ(RandomCard(1, 100), 71u);
    EXPECT_EQ(RandomCard(1, 100), 23u);
    EXPECT_EQ(RandomCard(1, 100), 84u);
    const std::uint32_t expected[] = {546, 327, 446, 682, 452, 762, 168, 352};
    for (auto e : expected) {
        EXPECT_EQ(StandardLib::PseudoRandomCardGenerator(), e);
    }
}

TEST_F(RandomTest, FullRangeVisitsEveryValueButTheFixedPointOncePerPeriod) {
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 1012; ++i) {
        const auto v = RandomCard(0, 1012);
        EXPECT_EQ(v, StandardLib::Seed()); // the result is the generator value itself
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 1012u);
    EXPECT_EQ(seen.count(509), 0u);
    EXPECT_EQ(StandardLib::Seed(), 94u); // back at the start after one period
}

TEST_F(RandomTest, EqualBoundsStillAdvance) {
    EXPECT_EQ(RandomCard(5, 5), 5u);
    EXPECT_EQ(StandardLib::Seed(), 716u);
}

TEST_F(RandomTest, ReversedBoundsReportAndKeepTheState) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(RandomCard(10, 3), 10u);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "ERROR calling RandomCardFromInterval: min 10 is bigger than max 3\n");
    EXPECT_EQ(StandardLib::Seed(), 94u);
}

TEST_F(RandomTest, ResultsStayInRange) {
    for (int i = 0; i < 3000; ++i) {
        const auto v = RandomCard(200, 480);
        ASSERT_GE(v, 200u);
        ASSERT_LE(v, 480u);
    }
}
