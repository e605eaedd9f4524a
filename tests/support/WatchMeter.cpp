// Helps the run script show the meter on a virtual display: "watch_meter SECONDS" prints
// each caption the meter shows for that long, then the meter's window rectangle;
// "watch_meter close" closes the meter the way a user would and waits for it to end.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

HWND FindMeter(DWORD timeoutMilliseconds) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND meter = FindWindowW(L"TForm1", nullptr); meter && IsWindowVisible(meter)) return meter;
    if (GetTickCount() - start > timeoutMilliseconds) return nullptr;
    Sleep(20);
  }
}

std::string Caption(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  char utf8[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

}  // namespace

int main(int argc, char** argv) {
  HWND meter = FindMeter(20000);
  if (!meter) {
    std::fprintf(stderr, "watch_meter: no meter window\n");
    return 1;
  }
  if (argc > 1 && std::strcmp(argv[1], "close") == 0) {
    DWORD processId = 0;
    GetWindowThreadProcessId(meter, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    PostMessageW(meter, WM_CLOSE, 0, 0);
    if (process) {
      WaitForSingleObject(process, 10000);
      CloseHandle(process);
    }
    return 0;
  }
  const DWORD duration = static_cast<DWORD>(argc > 1 ? std::atoi(argv[1]) : 3) * 1000;
  const DWORD start = GetTickCount();
  std::string shown;
  while (GetTickCount() - start < duration) {
    if (const std::string caption = Caption(meter); caption != shown) {
      shown = caption;
      std::printf("%5lu ms  %s\n", GetTickCount() - start, caption.c_str());
      std::fflush(stdout);
    }
    Sleep(10);
  }
  RECT rect{};
  GetWindowRect(meter, &rect);
  std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}
