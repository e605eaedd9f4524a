#include "sampler/LoadArithmetic.h"

namespace {

// Counters are free to wrap; the difference must not be undefined when they do.
std::int64_t WrappingDifference(std::int64_t later, std::int64_t earlier) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) -
                                   static_cast<std::uint64_t>(earlier));
}

}  // namespace

std::int32_t LoadPercent(TKernelTimes previous, TKernelTimes current, std::uint8_t processorCount) {
  if (previous.IdleTime == 0) return 0;
  const std::int64_t idleGained = WrappingDifference(current.IdleTime, previous.IdleTime);
  const std::int64_t timePassed = WrappingDifference(current.SystemTime, previous.SystemTime);
  // A clock set back or standing still says nothing about the load in between.
  if (timePassed <= 0) return 0;
  const long double processors = processorCount == 0 ? 1 : processorCount;

  // Extended precision: the counters have 64 significant bits and a double would round them.
  long double notBusy = static_cast<long double>(idleGained) / static_cast<long double>(timePassed);
  notBusy = notBusy * 100.0L;
  notBusy = notBusy / processors;
  const long double load = 100.0L - notBusy;

  // Jitter between the two counters can push the figure past either end; outside 0..100 it
  // would also not fit the 64-bit truncation below.
  if (load <= 0) return 0;
  if (load >= 100) return 100;
  return static_cast<std::int32_t>(static_cast<std::int64_t>(load));
}
