#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "framework/Component.h"
#include "framework/Handles.h"
#include "framework/Registry.h"

// Measures the processor load. The NT family is asked for its kernel counters through
// ntdll; on Windows 9x, where there is no such library, the load is read from the figure
// the system publishes in its dynamic registry. The method is chosen once, at creation.
class TCpuUsage : public TComponent {
public:
  using TQuerySystemInformation = LONG(WINAPI*)(ULONG informationClass, void* buffer, ULONG length,
                                                ULONG* returnedLength);

  explicit TCpuUsage(TComponent* owner);
  ~TCpuUsage() override;

  // The load in percent, 0..100.
  std::uint8_t GetUsage();

  virtual std::int32_t GetNtUsage();
  virtual std::uint8_t Get9xUsage();
  // Forgets the previous sample, so the next one only lays a new baseline.
  virtual void ResetCounters();

protected:
  using TQueryFinder = TQuerySystemInformation (*)(HMODULE ntDll);
  // Takes the kernel query from findQuery instead of looking it up in ntdll.
  TCpuUsage(TComponent* owner, TQueryFinder findQuery);

  // Where the registry method finds its performance keys.
  virtual HKEY DynamicDataRoot() const;

  TUniqueModule FNtDll;
  std::unique_ptr<TRegistry> FRegistry;
  std::int64_t FOldIdleTime = 0;
  std::int64_t FOldSystemTime = 0;
  std::uint8_t FProcessorCount = 0;
  TQuerySystemInformation FQuerySystemInformation = nullptr;
};
