// The least a meter of Vimbrel's kind can do: the same window (tool window, topmost, owned by
// a hidden window, caption and close box, the same size by the same text measurement), a
// smooth bar, and a 500 ms tick that sets the bar and the caption to a changing value, with
// no sampling and no framework. The benchmark holds Vimbrel's figures against this one's.
#include <windows.h>

#include <commctrl.h>

#include <cwchar>

#include "framework/Handles.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 500;
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

HWND Bar = nullptr;
int Value = 0;

// The meter's layout is 141 by 11 at a 12-pixel line of its font; it scales by the line the
// running system really draws.
SIZE ClientSize() {
  TWindowDC screen(nullptr);
  const int fontHeight = MulDiv(12, GetDeviceCaps(screen.Get(), LOGPIXELSY), 96);
  TUniqueFont font(CreateFontW(-fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"));
  TSelectObject selected(screen.Get(), font.Get());
  SIZE line{};
  GetTextExtentPoint32W(screen.Get(), L"0", 1, &line);
  const int measured = line.cy > 0 ? line.cy : 12;
  return {MulDiv(141, measured, 12), MulDiv(11, measured, 12)};
}

void Tick(HWND window) {
  // A value that differs at every tick, so the caption is written every time: the floor
  // never gets the benefit of an unchanged load.
  Value = (Value + 37) % 101;
  SendMessageW(Bar, PBM_SETPOS, static_cast<WPARAM>(Value), 0);
  wchar_t caption[32];
  std::swprintf(caption, 32, L"Vimbrel - %d%%",
                static_cast<int>(SendMessageW(Bar, PBM_GETPOS, 0, 0)));
  SetWindowTextW(window, caption);
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTickTimer) Tick(window);
      return 0;
    case WM_SIZE:
      if (Bar) MoveWindow(Bar, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = FloorWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.hIcon = LoadIconW(instance, L"MAINICON");
  windowClass.lpszClassName = L"VimbrelFloor";
  RegisterClassExW(&windowClass);

  WNDCLASSEXW ownerClass = windowClass;
  ownerClass.lpfnWndProc = DefWindowProcW;
  ownerClass.lpszClassName = L"VimbrelFloorOwner";
  RegisterClassExW(&ownerClass);
  // Never shown; it keeps the meter off the taskbar, as Vimbrel's hidden window does.
  TUniqueWindow owner(CreateWindowExW(WS_EX_TOOLWINDOW, ownerClass.lpszClassName, L"Vimbrel",
                                      WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));

  const SIZE client = ClientSize();
  RECT frame{0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  HWND window = CreateWindowExW(kExStyle, windowClass.lpszClassName, L"Vimbrel", kStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                frame.bottom - frame.top, owner.Get(), nullptr, instance, nullptr);
  if (!window) return 1;
  // The frame the system really draws may differ from what AdjustWindowRectEx predicts.
  RECT drawn{};
  GetClientRect(window, &drawn);
  if (drawn.right != client.cx || drawn.bottom != client.cy) {
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + client.cx - drawn.right,
                 frame.bottom - frame.top + client.cy - drawn.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0,
                        client.cx, client.cy, window, nullptr, instance, nullptr);
  SendMessageW(Bar, PBM_SETRANGE32, 0, 100);
  SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);
  ShowWindow(window, SW_SHOW);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
