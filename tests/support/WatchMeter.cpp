// Helps the run and screenshot scripts show the meter on a virtual display:
//   watch_meter SECONDS   prints each caption the meter shows for that long, then its rectangle
//   watch_meter command N chooses window-menu command N (posted, as the menu does)
//   watch_meter place X Y moves the meter to X, Y
//   watch_meter menu      opens the window menu below the meter, as a right-click does
//   watch_meter dismiss   closes whatever the meter has open (menu, box, opacity window)
//   watch_meter close     closes the meter the way a user would and waits for it to end
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

BOOL CALLBACK Dismiss(HWND window, LPARAM meterWindow) {
  const HWND meter = reinterpret_cast<HWND>(meterWindow);
  if (window == meter || !IsWindowVisible(window)) return TRUE;
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32768") {
    SendMessageW(meter, WM_CANCELMODE, 0, 0);
  } else if (std::wstring(name) == L"#32770") {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  HWND meter = FindMeter(20000);
  if (!meter) {
    std::fprintf(stderr, "watch_meter: no meter window\n");
    return 1;
  }
  const std::string verb = argc > 1 ? argv[1] : "";
  if (verb == "command" && argc > 2) {
    PostMessageW(meter, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0);
    return 0;
  }
  if (verb == "place" && argc > 3) {
    SetWindowPos(meter, nullptr, std::atoi(argv[2]), std::atoi(argv[3]), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  if (verb == "menu") {
    RECT rect{};
    GetWindowRect(meter, &rect);
    PostMessageW(meter, 0x0313, 0, MAKELPARAM(rect.left + 10, rect.bottom + 2));
    return 0;
  }
  if (verb == "dismiss") {
    DWORD processId = 0;
    const DWORD thread = GetWindowThreadProcessId(meter, &processId);
    EnumThreadWindows(thread, Dismiss, reinterpret_cast<LPARAM>(meter));
    return 0;
  }
  if (verb == "close") {
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
