#include "framework/Application.h"

#include <commctrl.h>

#include <set>

#include "framework/ErrorText.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/Text.h"

TApplication* Application = nullptr;

namespace {

const wchar_t kApplicationClass[] = L"TApplication";

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
  Application = this;
}

TApplication::~TApplication() {
  // The forms go first, in the reverse order of their creation, while the hidden window
  // that owns them still exists.
  DestroyComponents();
  FHandle.Reset();
  if (Application == this) Application = nullptr;
}

const wchar_t* TApplication::RegisterWindowClass(const wchar_t* name) {
  static std::set<std::wstring> registered;
  if (registered.insert(name).second) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = TWinControl::OwnWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.hIcon = LoadIconW(windowClass.hInstance, L"MAINICON");
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
  }
  return name;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  // Layered windows came with Windows 2000; elsewhere translucency is remembered, not shown.
  if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
    FSetLayeredWindowAttributes =
        ProcAddress<SetLayeredWindowAttributesFunction>(user32, "SetLayeredWindowAttributes");
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ApplicationWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = LoadIconW(windowClass.hInstance, L"MAINICON");
  windowClass.lpszClassName = kApplicationClass;
  RegisterClassExW(&windowClass);
  // Never shown: it only owns the forms, which therefore get no taskbar button.
  FHandle.Reset(
      CreateWindowExW(0, kApplicationClass, FromShiftJis(FTitle).c_str(),
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                      nullptr, nullptr, windowClass.hInstance, nullptr));
  if (!FHandle) throw Exception(L"Cannot create the application window");
}

void TApplication::SetTitle(const std::string& title) {
  FTitle = title;
  if (FHandle) SetWindowTextW(FHandle.Get(), FromShiftJis(title).c_str());
}

void TApplication::InitializeForm(TForm& form) {
  form.Initialize();
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) {
    if (!ProcessMessage()) WaitMessage();
  }
}

bool TApplication::ProcessMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (TForm* form = TForm::OfWindow(message.hwnd); form && form->DialogKey(message)) return true;
  TranslateMessage(&message);
  DispatchMessageW(&message);
  return true;
}

void TApplication::Terminate() noexcept {
  if (!FTerminated) PostQuitMessage(0);
}

void TApplication::HandleException() noexcept {
  ShowException(std::current_exception());
}

void TApplication::ShowException(const std::exception_ptr& error) noexcept {
  try {
    MessageBox(WithFullStop(ExceptionMessage(error)), FromShiftJis(FTitle), MB_ICONERROR | MB_OK);
  } catch (...) {
    ReportToDebugger(ExceptionMessage(error));
  }
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
  TModalScope modal;
  return MessageBoxW(FHandle.Get(), text.c_str(), caption.c_str(), flags);
}

LRESULT CALLBACK TApplication::ApplicationWindowProc(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The system tells its windows in z order; the main form must not miss its turn.
      if (wParam && Application) {
        if (TForm* main = Application->MainForm()) main->EndSession();
        Application->Terminate();
      }
      return 0;
    case WM_CLOSE:
      // Closing the hidden window (from outside) closes the program the usual way.
      if (Application && Application->MainForm()) {
        PostMessageW(Application->MainForm()->Handle(), WM_CLOSE, 0, 0);
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TModalScope::TModalScope(HWND except) : FExcept(except), FActive(GetActiveWindow()) {
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
  for (const TWindowState& state : FWindows) {
    EnableWindow(state.Window, FALSE);
    if (state.WasTopmost)
      SetWindowPos(state.Window, HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

TModalScope::~TModalScope() {
  HWND modalWindow = GetActiveWindow();
  for (const TWindowState& state : FWindows) {
    if (!IsWindow(state.Window)) continue;
    EnableWindow(state.Window, TRUE);
    if (state.WasTopmost)
      SetWindowPos(state.Window, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Hand activation back only if the modal window still holds it.
  const HWND hidden = Application ? Application->Handle() : nullptr;
  if (FActive && IsWindow(FActive) &&
      (modalWindow == FExcept || modalWindow == nullptr || modalWindow == hidden))
    SetActiveWindow(FActive);
}

BOOL CALLBACK TModalScope::Collect(HWND window, LPARAM scope) {
  auto* self = reinterpret_cast<TModalScope*>(scope);
  if (window != self->FExcept && IsWindowVisible(window) && IsWindowEnabled(window)) {
    const bool topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    try {
      self->FWindows.push_back({window, topmost});
    } catch (...) {
      return FALSE;
    }
  }
  return TRUE;
}
