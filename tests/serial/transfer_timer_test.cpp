// The Win32 time-out rules as deadlines, without a device.
#include "transfer_timer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr std::uint64_t kDWordMax = MAXDWORD;

TEST(ReadTimerTest, ToolRecordAllowsOneMillisecondPerByteAndNoIntervalLimit)
{
    const ReadTimer timer({MAXDWORD, 1, 0, 1, 0}, 100);
    EXPECT_EQ(timer.RemainingMs(0, 0, 0), 100u);
    // Bytes that came do not cut the read short: it waits for the rest until the total is over.
    EXPECT_EQ(timer.RemainingMs(30, 5, 30), 70u);
    EXPECT_EQ(timer.RemainingMs(99, 50, 2), 1u);
    EXPECT_EQ(timer.RemainingMs(100, 50, 2), 0u);
    EXPECT_EQ(timer.RemainingMs(250, 50, 2), 0u);
}

TEST(ReadTimerTest, MaxIntervalWithZeroTotalsReturnsAtOnce)
{
    const ReadTimer timer({MAXDWORD, 0, 0, 0, 0}, 4096);
    EXPECT_EQ(timer.RemainingMs(0, 0, 0), 0u);
    EXPECT_EQ(timer.RemainingMs(0, 10, 0), 0u);
}

TEST(ReadTimerTest, MaxIntervalAndMultiplierWaitForTheFirstBytesWithinTheConstant)
{
    const ReadTimer timer({MAXDWORD, MAXDWORD, 250, 0, 0}, 100);
    EXPECT_EQ(timer.RemainingMs(0, 0, 0), 250u);
    EXPECT_EQ(timer.RemainingMs(100, 0, 0), 150u);
    EXPECT_EQ(timer.RemainingMs(100, 1, 100), 0u) << "once bytes came, only what is waiting is taken";
}

TEST(ReadTimerTest, MaxIntervalAndMultiplierWithoutAUsableConstantAreAnOrdinaryTotal)
{
    // Outside the documented special case the product is taken literally: no 32-bit overflow.
    const ReadTimer noConstant({MAXDWORD, MAXDWORD, 0, 0, 0}, 3);
    EXPECT_EQ(noConstant.RemainingMs(0, 0, 0), kDWordMax * 3);
    const ReadTimer maxConstant({MAXDWORD, MAXDWORD, MAXDWORD, 0, 0}, MAXDWORD);
    EXPECT_EQ(maxConstant.RemainingMs(0, 1, 0), kDWordMax * kDWordMax + kDWordMax);
}

TEST(ReadTimerTest, TotalIsMultiplierTimesLengthPlusConstant)
{
    const ReadTimer timer({0, 10, 35, 0, 0}, 20);
    EXPECT_EQ(timer.RemainingMs(0, 0, 0), 235u);
    EXPECT_EQ(timer.RemainingMs(200, 19, 199), 35u);
}

TEST(ReadTimerTest, AllZeroWaitsWithoutLimit)
{
    const ReadTimer timer({0, 0, 0, 0, 0}, 10);
    EXPECT_FALSE(timer.RemainingMs(0, 0, 0).has_value());
    EXPECT_FALSE(timer.RemainingMs(100000, 9, 5).has_value());
}

TEST(ReadTimerTest, IntervalRunsFromTheLastByteOnlyOnceOneCame)
{
    const ReadTimer timer({50, 0, 0, 0, 0}, 10);
    EXPECT_FALSE(timer.RemainingMs(500, 0, 0).has_value()) << "no byte yet: no interval limit";
    EXPECT_EQ(timer.RemainingMs(520, 1, 500), 30u);
    EXPECT_EQ(timer.RemainingMs(560, 2, 500), 0u);
}

TEST(ReadTimerTest, EarlierOfIntervalAndTotalEndsTheRead)
{
    const ReadTimer timer({50, 0, 120, 0, 0}, 10);
    EXPECT_EQ(timer.RemainingMs(0, 0, 0), 120u);
    EXPECT_EQ(timer.RemainingMs(20, 1, 10), 40u) << "interval ends at 60, total at 120";
    EXPECT_EQ(timer.RemainingMs(100, 2, 90), 20u) << "interval ends at 140, total at 120";
}

TEST(WriteTimerTest, TotalIsMultiplierTimesLengthPlusConstantOrNoLimit)
{
    EXPECT_EQ(WriteTimer({0, 0, 0, 1, 0}, 4).RemainingMs(0), 4u);
    EXPECT_EQ(WriteTimer({0, 0, 0, 2, 7}, 4).RemainingMs(10), 5u);
    EXPECT_EQ(WriteTimer({0, 0, 0, 2, 7}, 4).RemainingMs(20), 0u);
    EXPECT_EQ(WriteTimer({0, 0, 0, MAXDWORD, 0}, MAXDWORD).RemainingMs(0), kDWordMax * kDWordMax);
    EXPECT_FALSE(WriteTimer({MAXDWORD, MAXDWORD, MAXDWORD, 0, 0}, 4).RemainingMs(0).has_value());
}

}  // namespace
