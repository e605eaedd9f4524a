#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Text.h"
#include "sampler/CpuUtils.h"

// Stands in for NtQuerySystemInformation: answers the three records from the fields below,
// each with its own status, and notes every class asked for.
struct TFakeKernel {
  static inline LONG BasicStatus = 0;
  static inline LONG PerformanceStatus = 0;
  static inline LONG TimeOfDayStatus = 0;
  static inline std::uint8_t Processors = 2;
  static inline std::int64_t IdleTime = 0;
  static inline std::int64_t SystemTime = 0;
  static inline std::vector<ULONG> Classes;

  static void Reset() {
    BasicStatus = PerformanceStatus = TimeOfDayStatus = 0;
    Processors = 2;
    IdleTime = SystemTime = 0;
    Classes.clear();
  }

  // The kernel's basic record, as a 32-bit or a 64-bit program gets it.
  static constexpr ULONG kBasicLength = sizeof(void*) == 8 ? 64 : 44;
  static constexpr ULONG kProcessorCountAt = sizeof(void*) == 8 ? 56 : 40;

  static LONG WINAPI Query(ULONG informationClass, void* buffer, ULONG length,
                           ULONG* returnedLength) {
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    Classes.push_back(informationClass);
    if (returnedLength) return kLengthMismatch;
    auto* bytes = static_cast<unsigned char*>(buffer);
    // Every byte the sampler is not meant to read is noise.
    std::memset(bytes, 0xA5, length);
    switch (informationClass) {
      case 0:
        if (length != kBasicLength) return kLengthMismatch;
        if (BasicStatus == 0) bytes[kProcessorCountAt] = Processors;
        return BasicStatus;
      case 2:
        if (length != 312) return kLengthMismatch;
        std::memcpy(bytes, &IdleTime, sizeof IdleTime);
        return PerformanceStatus;
      case 3:
        if (length != 32) return kLengthMismatch;
        std::memcpy(bytes + 8, &SystemTime, sizeof SystemTime);
        return TimeOfDayStatus;
      default:
        return static_cast<LONG>(0xC0000003);  // invalid information class
    }
  }
};

// A sampler whose kernel query and registry root a test chooses, and whose state it can read.
class TTestSampler : public TCpuUsage {
public:
  using TCpuUsage::TQueryFinder;
  static TQuerySystemInformation FakeKernel(HMODULE) { return &TFakeKernel::Query; }
  static TQuerySystemInformation NoQuery(HMODULE) { return nullptr; }

  TTestSampler(TComponent* owner, TQueryFinder findQuery, HKEY root = nullptr)
      : TCpuUsage(owner, findQuery), FRoot(root) {}
  // The real lookup in ntdll.
  explicit TTestSampler(TComponent* owner) : TCpuUsage(owner) {}

  bool UsesKernelCounters() const { return FNtDll.Get() != nullptr; }
  bool HasRegistry() const { return FRegistry != nullptr; }
  std::int64_t OldIdleTime() const { return FOldIdleTime; }
  std::int64_t OldSystemTime() const { return FOldSystemTime; }
  std::uint8_t ProcessorCount() const { return FProcessorCount; }
  // Swaps the library for a handle the system will refuse to free.
  void HoldUnfreeableLibrary() { FNtDll.Reset(reinterpret_cast<HMODULE>(0x12340000)); }

protected:
  HKEY DynamicDataRoot() const override { return FRoot ? FRoot : TCpuUsage::DynamicDataRoot(); }

private:
  HKEY FRoot = nullptr;
};

// A key of its own under HKEY_CURRENT_USER, removed with everything below it at the end.
// Each test process gets its own, since every case runs in two locales at once.
class TScratchKey {
public:
  TScratchKey() {
    static int count = 0;
    FPath = L"Software\\VimbrelTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++count);
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    FKey.Reset(key);
  }
  TScratchKey(const TScratchKey&) = delete;
  TScratchKey& operator=(const TScratchKey&) = delete;
  ~TScratchKey() {
    FKey.Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
  }

  HKEY Get() const { return FKey.Get(); }
  explicit operator bool() const { return static_cast<bool>(FKey); }

  // Writes a value under the given subkey path (below this key), creating the path.
  void Set(const std::wstring& path, const std::wstring& name, DWORD type,
           const std::vector<unsigned char>& data) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(FKey.Get(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
      return;
    TUniqueKey owner(key);
    RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  }
  void CreateKey(const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegCreateKeyExW(FKey.Get(), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
      RegCloseKey(key);
  }
  bool Exists(const std::wstring& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(FKey.Get(), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

private:
  std::wstring FPath;
  TUniqueKey FKey;
};

// Collects what the process says to the debugger. Wine hands OutputDebugStringW's text on in
// the ANSI code page, so the texts are what that code page can hold of the message.
class TDebuggerOutput {
public:
  TDebuggerOutput() : FHandler(AddVectoredExceptionHandler(1, &Catch)) { Texts().clear(); }
  TDebuggerOutput(const TDebuggerOutput&) = delete;
  TDebuggerOutput& operator=(const TDebuggerOutput&) = delete;
  ~TDebuggerOutput() { RemoveVectoredExceptionHandler(FHandler); }

  static std::vector<std::wstring>& Texts() {
    static std::vector<std::wstring> texts;
    return texts;
  }
  // message as it comes through the debugger channel, with the line end ReportToDebugger adds.
  static std::wstring AsReported(const std::wstring& message) {
    return FromAnsi(ToCodePage(CP_ACP, message + L"\n"));
  }

private:
  static LONG CALLBACK Catch(EXCEPTION_POINTERS* pointers) {
    constexpr DWORD kDebugPrint = 0x40010006;
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    if (record.ExceptionCode == kDebugPrint && record.NumberParameters >= 2) {
      try {
        const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
        std::string ansi(text, record.ExceptionInformation[0]);
        if (!ansi.empty() && ansi.back() == '\0') ansi.pop_back();
        Texts().push_back(FromAnsi(ansi));
      } catch (...) {
      }
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }

  void* FHandler;
};

// The sampler's error texts as the program stores them (Shift-JIS), spelled out byte by byte.
inline std::wstring InvalidDataTypeMessage(const std::wstring& name) {
  return FormatText(FromShiftJis("'%s'\x20\x82\xCC\x83\x66\x81\x5B\x83\x5E\x8C\x5E\x82\xAA\x95\x73"
                                 "\x90\xB3\x82\xC5\x82\xB7"),
                    name);
}
inline std::wstring FreeLibraryFailedMessage() {
  return FromShiftJis(
      "ntdll\x83\x89\x83\x43\x83\x75\x83\x89\x83\x8A\x82\xCC\x89\xF0\x95\xFA\x82"
      "\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
}
