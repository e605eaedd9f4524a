#pragma once

#include <cstdint>

// The kernel's counters at one sample, in 100-ns units: the idle time of all processors
// together and the time of day.
struct TKernelTimes {
  std::int64_t IdleTime = 0;
  std::int64_t SystemTime = 0;
};

// The share of the time between two samples that the processors were not idle, averaged over
// the processors, in whole percent and kept within 0..100. A previous idle time of 0 means
// there was no previous sample. A clock that did not move forward gives 0, and a processor
// count of 0 counts as one processor.
std::int32_t LoadPercent(TKernelTimes previous, TKernelTimes current, std::uint8_t processorCount);
