#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/sampler/SamplerTestSupport.h"

namespace {

constexpr std::int64_t kHalfSecond = 5'000'000;
constexpr std::int64_t kIdle = 40'000'000'000;
constexpr std::int64_t kTime = 133'000'000'000'000'000;
constexpr LONG kUnsuccessful = static_cast<LONG>(0xC0000001);

enum class TAction { Sample, Reset, SampleFailingTimeOfDay, SampleFailingPerformance };

struct TStep {
  TAction Action;
  std::int64_t Idle = 0;  // the kernel's counters the step samples
  std::int64_t Time = 0;
  int Usage = 0;  // what the meter is shown
};

struct TScenario {
  const char* What;
  std::uint8_t Processors;
  std::vector<TStep> Steps;
};

constexpr TAction kSample = TAction::Sample;

class KernelCounterMethod : public ::testing::Test {
protected:
  void SetUp() override { TFakeKernel::Reset(); }
};

TEST_F(KernelCounterMethod, SamplesFollowTheKernelsIdleTimeAndClock) {
  const TScenario scenarios[] = {
      {"the first sample only lays the baseline, later ones move it",
       2,
       {{kSample, kIdle, kTime, 0},
        {kSample, kIdle + 7'500'000, kTime + kHalfSecond, 25},
        {kSample, kIdle + 10'000'000, kTime + 2 * kHalfSecond, 75}}},
      {"after a reset the next sample is 0 and starts again",
       2,
       {{kSample, kIdle, kTime, 0},
        {kSample, kIdle + 7'500'000, kTime + kHalfSecond, 25},
        {TAction::Reset},
        {kSample, kIdle + 10'000'000, kTime + 2 * kHalfSecond, 0},
        {kSample, kIdle + 12'500'000, kTime + 3 * kHalfSecond, 75}}},
      // Had the failed sample moved the baseline, the last one would show 0.
      {"a failing time-of-day query gives 0 and keeps the baseline",
       2,
       {{kSample, kIdle, kTime, 0},
        {TAction::SampleFailingTimeOfDay, kIdle + 2'500'000, kTime + kHalfSecond / 2, 0},
        {kSample, kIdle + 7'500'000, kTime + kHalfSecond, 25}}},
      {"a failing performance query gives 0 and keeps the baseline",
       2,
       {{kSample, kIdle, kTime, 0},
        {TAction::SampleFailingPerformance, kIdle + 2'500'000, kTime + kHalfSecond / 2, 0},
        {kSample, kIdle + 7'500'000, kTime + kHalfSecond, 25}}},
      {"idle time running ahead of the clock shows 0, not a full bar",
       2,
       {{kSample, kIdle, kTime, 0},
        {kSample, kIdle + 10'150'000, kTime + kHalfSecond, 0},
        {kSample, kIdle + 20'000'000, kTime + 2 * kHalfSecond, 1}}},
      // Measured from the first sample the last one would show 15.
      {"a clock standing still gives 0 and the sample becomes the baseline",
       2,
       {{kSample, kIdle, kTime, 0},
        {kSample, kIdle + 1'000'000, kTime, 0},
        {kSample, kIdle + 8'500'000, kTime + kHalfSecond, 25}}},
      {"a clock set back gives 0 and the sample becomes the baseline",
       2,
       {{kSample, kIdle, kTime, 0},
        {kSample, kIdle + 1'000'000, kTime - 3600 * 2 * kHalfSecond, 0},
        {kSample, kIdle + 8'500'000, kTime - 3600 * 2 * kHalfSecond + kHalfSecond, 25}}},
      {"an idle counter that went back shows full load, no more",
       2,
       {{kSample, kIdle, kTime, 0}, {kSample, kIdle - 2'500'000, kTime + kHalfSecond, 100}}},
      {"no processors in the basic record counts as one",
       0,
       {{kSample, kIdle, kTime, 0}, {kSample, kIdle + 2'500'000, kTime + kHalfSecond, 50}}},
      {"the processor count comes from the basic record",
       4,
       {{kSample, kIdle, kTime, 0}, {kSample, kIdle + 15'000'000, kTime + kHalfSecond, 25}}},
  };
  for (const auto& scenario : scenarios) {
    SCOPED_TRACE(scenario.What);
    TFakeKernel::Reset();
    TFakeKernel::Processors = scenario.Processors;
    TTestSampler sampler(nullptr, &TTestSampler::FakeKernel);
    ASSERT_TRUE(sampler.UsesKernelCounters());
    for (std::size_t index = 0; index < scenario.Steps.size(); ++index) {
      const TStep& step = scenario.Steps[index];
      SCOPED_TRACE("step " + std::to_string(index));
      if (step.Action == TAction::Reset) {
        sampler.ResetCounters();
        continue;
      }
      TFakeKernel::IdleTime = step.Idle;
      TFakeKernel::SystemTime = step.Time;
      TFakeKernel::TimeOfDayStatus =
          step.Action == TAction::SampleFailingTimeOfDay ? kUnsuccessful : 0;
      TFakeKernel::PerformanceStatus =
          step.Action == TAction::SampleFailingPerformance ? kUnsuccessful : 0;
      EXPECT_EQ(sampler.GetUsage(), step.Usage);
    }
  }
}

TEST_F(KernelCounterMethod, AsksForTheBasicRecordOnceAndTheTwoCountersAtEachSample) {
  TTestSampler sampler(nullptr, &TTestSampler::FakeKernel);
  EXPECT_EQ(TFakeKernel::Classes, std::vector<ULONG>{0});
  TFakeKernel::IdleTime = kIdle;
  sampler.GetUsage();
  sampler.GetUsage();
  EXPECT_EQ(TFakeKernel::Classes, (std::vector<ULONG>{0, 3, 2, 3, 2}));
  EXPECT_FALSE(sampler.HasRegistry());
}

TEST_F(KernelCounterMethod, ABaselineIsJudgedByTheIdleTimeAlone) {
  TTestSampler sampler(nullptr, &TTestSampler::FakeKernel);
  // A kernel whose idle counter still reads 0 lays no baseline, however the clock moves.
  TFakeKernel::SystemTime = kTime;
  EXPECT_EQ(sampler.GetUsage(), 0);
  TFakeKernel::SystemTime = kTime + kHalfSecond;
  TFakeKernel::IdleTime = 1;
  EXPECT_EQ(sampler.GetUsage(), 0);
  TFakeKernel::SystemTime = kTime + 2 * kHalfSecond;
  EXPECT_EQ(sampler.GetUsage(), 100);
}

TEST_F(KernelCounterMethod, AFreeingFailureAtTheEndIsReportedAndTeardownGoesOn) {
  TDebuggerOutput debugger;
  {
    TTestSampler sampler(nullptr, &TTestSampler::FakeKernel);
    sampler.HoldUnfreeableLibrary();
  }
  EXPECT_EQ(TDebuggerOutput::Texts(),
            std::vector<std::wstring>{TDebuggerOutput::AsReported(FreeLibraryFailedMessage())});
}

// The real kernel under Wine: its idle counter comes from /proc/uptime, its clock from the
// time of day.
TEST(RealKernelCounters, TwoSamplesHalfASecondApartGive0AndThenALoad) {
  TTestSampler sampler(nullptr);
  ASSERT_TRUE(sampler.UsesKernelCounters());
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  EXPECT_EQ(sampler.ProcessorCount(), std::min<DWORD>(system.dwNumberOfProcessors, 255));

  EXPECT_EQ(sampler.GetUsage(), 0);
  EXPECT_GT(sampler.OldIdleTime(), 0);
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::int64_t nowTime = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
  EXPECT_NEAR(static_cast<double>(sampler.OldSystemTime()), static_cast<double>(nowTime),
              10'000'000.0);

  const std::int64_t firstTime = sampler.OldSystemTime();
  Sleep(500);
  const int usage = sampler.GetUsage();
  EXPECT_LE(usage, 100);
  EXPECT_GE(sampler.OldSystemTime() - firstTime, 4'000'000);
  EXPECT_LT(sampler.OldSystemTime() - firstTime, 50'000'000);
}

}  // namespace
