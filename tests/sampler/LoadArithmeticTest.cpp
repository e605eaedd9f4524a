#include "sampler/LoadArithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kHalfSecond = 5'000'000;

TEST(LoadArithmetic, LoadIsTheShareOfTimeNotIdleAveragedOverProcessorsAndKeptWithin0To100) {
  const TKernelTimes base{1'000'000, 130'000'000'000'000'000};
  const struct {
    const char* what;
    std::int64_t idleGained;
    std::int64_t timePassed;
    std::uint8_t processors;
    std::int32_t load;
  } cases[] = {
      {"two processors, one and a half idle", 7'500'000, kHalfSecond, 2, 25},
      {"two processors, half of one idle", 2'500'000, kHalfSecond, 2, 75},
      {"one processor, never idle", 0, kHalfSecond, 1, 100},
      {"one processor, always idle", kHalfSecond, kHalfSecond, 1, 0},
      {"fractions are cut off, not rounded", 754'000, 1'000'000, 1, 24},
      {"idle a little ahead of the clock", 1'005'000, 1'000'000, 1, 0},
      {"idle well ahead of the clock shows no load, not a full bar", 1'015'000, 1'000'000, 1, 0},
      {"idle far ahead of the clock", std::numeric_limits<std::int64_t>::max() / 2, 1, 1, 0},
      {"an idle counter that went back shows no more than full load", -2'500'000, kHalfSecond, 2,
       100},
      {"a clock standing still", 1'000'000, 0, 2, 0},
      {"a clock set back", 1'000'000, -100 * kHalfSecond, 2, 0},
      {"no processors reported counts as one", 2'500'000, kHalfSecond, 0, 50},
      {"eight processors", 35'000'000, kHalfSecond, 8, 12},
      // 3e17 + 1 needs 59 bits: in a double the tick would be lost and this would show 25.
      {"extended precision keeps a single tick", 300'000'000'000'000'001, 400'000'000'000'000'000,
       1, 24},
  };
  for (const auto& c : cases) {
    const TKernelTimes current{base.IdleTime + c.idleGained, base.SystemTime + c.timePassed};
    EXPECT_EQ(LoadPercent(base, current, c.processors), c.load) << c.what;
  }
}

TEST(LoadArithmetic, WithoutAPreviousIdleTimeThereIsNoLoadYet) {
  EXPECT_EQ(LoadPercent({0, 100}, {1'000, 100 + kHalfSecond}, 1), 0);
  // The previous time of day alone does not count as a previous sample.
  EXPECT_EQ(LoadPercent({0, 0}, {1'000, kHalfSecond}, 1), 0);
  EXPECT_EQ(LoadPercent({1, 0}, {1, kHalfSecond}, 1), 100);
}

TEST(LoadArithmetic, CountersThatWrapAroundStillGiveTheirDifference) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  // Idle 2 500 000 and time 5 000 000 further on, each across the end of the range.
  const TKernelTimes before{kMax - 999'999, kMax - 1'999'999};
  const TKernelTimes after{kMin + 1'500'000, kMin + 3'000'000};
  EXPECT_EQ(LoadPercent(before, after, 2), 75);
}

}  // namespace
