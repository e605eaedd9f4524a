// Holds a Wine session's desktop open while the tests run, so that each test process
// neither starts the desktop anew nor waits for it to go away. Given a file name, it creates
// that file once the desktop is up, so that nothing races the session's start.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR readyFile, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"VimbrelTestKeeper";
  RegisterClassW(&windowClass);
  CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                  nullptr);
  // A window on the desktop makes sure the desktop itself has started.
  HWND probe = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1,
                               1, nullptr, nullptr, instance, nullptr);
  DestroyWindow(probe);
  if (readyFile && *readyFile) {
    HANDLE file = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}
