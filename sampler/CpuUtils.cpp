#include "sampler/CpuUtils.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <exception>

#include "framework/Exception.h"
#include "framework/Text.h"
#include "sampler/LoadArithmetic.h"

namespace {

constexpr ULONG kBasicInformation = 0;
constexpr ULONG kPerformanceInformation = 2;
constexpr ULONG kTimeOfDayInformation = 3;

// The basic record holds address-sized fields, so its size and the place of the processor
// count follow the pointer size; the other two records are the same for 32-bit and 64-bit
// programs.
#ifdef _WIN64
constexpr std::size_t kBasicInformationSize = 64;
constexpr std::size_t kProcessorCountOffset = 56;
#else
constexpr std::size_t kBasicInformationSize = 44;
constexpr std::size_t kProcessorCountOffset = 40;
#endif
constexpr std::size_t kPerformanceInformationSize = 312;
constexpr std::size_t kIdleTimeOffset = 0;
constexpr std::size_t kTimeOfDayInformationSize = 32;
constexpr std::size_t kSystemTimeOffset = 8;

constexpr char kStartStat[] = "\\PerfStats\\StartStat";
constexpr char kStatData[] = "\\PerfStats\\StatData";
constexpr char kStopStat[] = "\\PerfStats\\StopStat";
constexpr char kCpuUsageValue[] = "KERNEL\\CPUUsage";
constexpr int kCpuUsageSize = 4;

constexpr char kFreeLibraryFailed[] = "ntdllライブラリの解放に失敗しました";

// The kernel is free to require aligned records.
template <std::size_t Size>
struct alignas(8) TRecord {
  std::array<unsigned char, Size> Bytes{};
};

template <std::size_t Size>
LONG Query(TCpuUsage::TQuerySystemInformation query, ULONG informationClass,
           TRecord<Size>& record) {
  return query(informationClass, record.Bytes.data(), static_cast<ULONG>(Size), nullptr);
}

template <std::size_t Size>
std::int64_t ReadInt64(const TRecord<Size>& record, std::size_t offset) {
  static_assert(Size >= sizeof(std::int64_t));
  std::int64_t value = 0;
  std::memcpy(&value, record.Bytes.data() + offset, sizeof value);
  return value;
}

TCpuUsage::TQuerySystemInformation FindInNtDll(HMODULE ntDll) {
  return ProcAddress<TCpuUsage::TQuerySystemInformation>(ntDll, "NtQuerySystemInformation");
}

// Teardown has nobody to show an error to; it says so to the debugger and goes on.
void ReportCurrentError() noexcept {
  try {
    ReportToDebugger(ExceptionMessage(std::current_exception()));
  } catch (...) {
  }
}

}  // namespace

TCpuUsage::TCpuUsage(TComponent* owner) : TCpuUsage(owner, &FindInNtDll) {}

TCpuUsage::TCpuUsage(TComponent* owner, TQueryFinder findQuery) : TComponent(owner) {
  FNtDll.Reset(LoadLibraryA("ntdll.dll"));
  if (!FNtDll) return;
  ResetCounters();
  FQuerySystemInformation = findQuery(FNtDll.Get());
  TRecord<kBasicInformationSize> basic;
  if (FQuerySystemInformation && Query(FQuerySystemInformation, kBasicInformation, basic) == 0) {
    FProcessorCount = basic.Bytes[kProcessorCountOffset];
    return;
  }
  // The registry method serves for the rest of the component's life and never needs the
  // library, so it is let go now rather than at the end.
  FQuerySystemInformation = nullptr;
  if (!FNtDll.Reset()) ReportToDebugger(FromShiftJis(kFreeLibraryFailed));
}

TCpuUsage::~TCpuUsage() {
  // An error here would end the program on its way out; it is reported and teardown goes on.
  if (FNtDll && !FNtDll.Reset()) ReportToDebugger(FromShiftJis(kFreeLibraryFailed));
  if (FRegistry) {
    try {
      if (FRegistry->OpenKey(kStopStat)) {
        std::array<unsigned char, kCpuUsageSize> scratch{};
        FRegistry->ReadBinaryData(kCpuUsageValue, scratch.data(), kCpuUsageSize);
      }
    } catch (...) {
      ReportCurrentError();
    }
    FRegistry.reset();
  }
}

std::uint8_t TCpuUsage::GetUsage() {
  if (FNtDll) return static_cast<std::uint8_t>(GetNtUsage());
  return Get9xUsage();
}

std::int32_t TCpuUsage::GetNtUsage() {
  if (!FQuerySystemInformation) return 0;
  TRecord<kTimeOfDayInformationSize> timeOfDay;
  if (Query(FQuerySystemInformation, kTimeOfDayInformation, timeOfDay) != 0) return 0;
  TRecord<kPerformanceInformationSize> performance;
  if (Query(FQuerySystemInformation, kPerformanceInformation, performance) != 0) return 0;

  const TKernelTimes current{ReadInt64(performance, kIdleTimeOffset),
                             ReadInt64(timeOfDay, kSystemTimeOffset)};
  const std::int32_t result = LoadPercent({FOldIdleTime, FOldSystemTime}, current, FProcessorCount);
  FOldIdleTime = current.IdleTime;
  FOldSystemTime = current.SystemTime;
  return result;
}

std::uint8_t TCpuUsage::Get9xUsage() {
  if (!FRegistry) {
    FRegistry = std::make_unique<TRegistry>(KEY_READ);
    FRegistry->SetRootKey(DynamicDataRoot());
    // Without the start key there is nothing to start; the accessor stays, so later samples
    // go straight to the figure.
    if (!FRegistry->OpenKey(kStartStat)) return 0;
    std::array<unsigned char, kCpuUsageSize> scratch{};
    FRegistry->ReadBinaryData(kCpuUsageValue, scratch.data(), kCpuUsageSize);
  }
  if (FRegistry->OpenKey(kStatData) && FRegistry->GetDataSize(kCpuUsageValue) == kCpuUsageSize) {
    std::array<unsigned char, kCpuUsageSize> usage{};
    FRegistry->ReadBinaryData(kCpuUsageValue, usage.data(), kCpuUsageSize);
    return usage[0];
  }
  return 0;
}

void TCpuUsage::ResetCounters() {
  FOldIdleTime = 0;
  FOldSystemTime = 0;
}

HKEY TCpuUsage::DynamicDataRoot() const {
  return HKEY_DYN_DATA;
}
