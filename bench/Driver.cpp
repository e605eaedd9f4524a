// Starts a meter (Vimbrel.exe or the floor) and watches it from outside, for the benchmark:
//   bench_driver startup RUNS EXE...  starts each exe in turn (A B A B), RUNS times each after
//                                     one warm-up start, and prints for every start the time
//                                     from process creation to its first visible window and
//                                     to its first "Vimbrel - " caption:
//                                       startup NAME RUN WINDOW_MS CAPTION_MS
//   bench_driver hold EXE             starts it, prints "ready PID" once its window shows,
//                                     closes it when a line arrives on stdin, and prints
//                                     "closed EXIT_CODE"
//   bench_driver watch EXE SECONDS    starts it, prints "start EPOCH_US" at its creation and
//                                     "caption EPOCH_US N" whenever the number in its caption
//                                     changes, closes it after SECONDS and prints "closed ..."
// Times of "watch" are Unix wall-clock microseconds, so the benchmark script can put them
// beside its own readings of /proc/stat.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace {

constexpr wchar_t kCaptionPrefix[] = L"Vimbrel - ";
constexpr DWORD kSettleMilliseconds = 500;

struct TRunningProgram {
  TUniqueFile Process;
  DWORD ProcessId = 0;
};

TRunningProgram Start(const std::wstring& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &created)) {
    std::fprintf(stderr, "bench_driver: cannot start %ls (error %lu)\n", exe.c_str(),
                 GetLastError());
    std::exit(2);
  }
  CloseHandle(created.hThread);
  return {TUniqueFile(created.hProcess), created.dwProcessId};
}

struct TWindowSearch {
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TWindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->ProcessId || !IsWindowVisible(window)) return TRUE;
  search->Found = window;
  return FALSE;
}

HWND VisibleWindowOf(DWORD processId) {
  TWindowSearch search{processId, nullptr};
  EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND WaitForWindow(const TRunningProgram& program) {
  for (;;) {
    if (HWND window = VisibleWindowOf(program.ProcessId)) return window;
    if (WaitForSingleObject(program.Process.Get(), 1) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "bench_driver: the program ended before it showed a window\n");
      std::exit(2);
    }
  }
}

// The number after "Vimbrel - ", or -1 while the caption has none.
int CaptionNumber(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  const std::size_t prefix = std::wcslen(kCaptionPrefix);
  if (std::wcsncmp(text, kCaptionPrefix, prefix) != 0) return -1;
  return static_cast<int>(std::wcstol(text + prefix, nullptr, 10));
}

DWORD Close(TRunningProgram& program, HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(program.Process.Get(), 10000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "bench_driver: the program did not end; terminating it\n");
    TerminateProcess(program.Process.Get(), 99);
    WaitForSingleObject(program.Process.Get(), 5000);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(program.Process.Get(), &exitCode);
  return exitCode;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

long long EpochMicroseconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const long long ticks = (static_cast<long long>(now.dwHighDateTime) << 32) |
                          static_cast<long long>(now.dwLowDateTime);
  constexpr long long kUnixEpoch = 116444736000000000LL;  // 1970-01-01 in 100-ns units
  return (ticks - kUnixEpoch) / 10;
}

std::wstring FileNameOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void TimeOneStart(const std::wstring& exe, int run) {
  LARGE_INTEGER started, windowShown, captionShown;
  QueryPerformanceCounter(&started);
  TRunningProgram program = Start(exe);
  HWND window = WaitForWindow(program);
  QueryPerformanceCounter(&windowShown);
  while (CaptionNumber(window) < 0) {
    if (WaitForSingleObject(program.Process.Get(), 1) == WAIT_OBJECT_0) break;
  }
  QueryPerformanceCounter(&captionShown);
  Close(program, window);
  // What the system still does for the program that just ended must not land on the next.
  Sleep(kSettleMilliseconds);
  if (run > 0) {
    std::printf("startup %ls %d %.1f %.1f\n", FileNameOf(exe).c_str(), run,
                Milliseconds(started, windowShown), Milliseconds(started, captionShown));
    std::fflush(stdout);
  }
}

int StartUp(int runs, const std::vector<std::wstring>& exes) {
  // Run 0 warms the file cache and leaves each program the settings a user's would have.
  for (int run = 0; run <= runs; ++run)
    for (const std::wstring& exe : exes) TimeOneStart(exe, run);
  return 0;
}

int Hold(const std::wstring& exe) {
  TRunningProgram program = Start(exe);
  HWND window = WaitForWindow(program);
  std::printf("ready %lu\n", program.ProcessId);
  std::fflush(stdout);
  char line[16];
  if (!std::fgets(line, sizeof line, stdin)) {
    // Whoever drives us has gone; do not leave the program behind.
  }
  std::printf("closed %lu\n", Close(program, window));
  return 0;
}

int Watch(const std::wstring& exe, int seconds) {
  const long long started = EpochMicroseconds();
  TRunningProgram program = Start(exe);
  std::printf("start %lld\n", started);
  std::fflush(stdout);
  HWND window = WaitForWindow(program);
  const long long until = started + 1000000LL * seconds;
  int shown = -1;
  for (long long now = EpochMicroseconds(); now < until; now = EpochMicroseconds()) {
    if (const int number = CaptionNumber(window); number != shown && number >= 0) {
      shown = number;
      std::printf("caption %lld %d\n", now, number);
      std::fflush(stdout);
    }
    Sleep(5);
  }
  std::printf("closed %lu\n", Close(program, window));
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: bench_driver startup RUNS EXE... | hold EXE | watch EXE SECONDS\n");
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  const std::wstring verb = argv[1];
  if (verb == L"startup" && argc >= 4) {
    return StartUp(static_cast<int>(std::wcstol(argv[2], nullptr, 10)),
                   std::vector<std::wstring>(argv + 3, argv + argc));
  }
  if (verb == L"hold") return Hold(argv[2]);
  if (verb == L"watch" && argc >= 4)
    return Watch(argv[2], static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
  return Usage();
}
