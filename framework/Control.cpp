#include "framework/Control.h"

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"

namespace {

// Every message of our windows looks for its control, so the control is kept in the window's
// user data, which is read in process. The property, a round trip to the server under Wine,
// serves the rarer look-ups by handle (FromHandle), where user data may belong to others.
const wchar_t kControlProperty[] = L"Vimbrel.Control";

TWinControl* ControlOf(HWND window) noexcept {
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Attach(HWND window, TWinControl* control) noexcept {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  SetPropW(window, kControlProperty, control);
}

}  // namespace

TShiftState ShiftStateFromMouseKeys(WPARAM keys) noexcept {
  std::uint8_t flags = 0;
  if (keys & MK_SHIFT) flags |= ssShift;
  if (keys & MK_CONTROL) flags |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) flags |= ssAlt;
  if (keys & MK_LBUTTON) flags |= ssLeft;
  if (keys & MK_RBUTTON) flags |= ssRight;
  if (keys & MK_MBUTTON) flags |= ssMiddle;
  return {flags};
}

TWinControl::~TWinControl() {
  // Messages sent while the window goes away must not reach a half-destroyed object.
  HWND window = FHandle.Get();
  Detach();
  if (window) DestroyWindow(window);
}

TWinControl* TWinControl::FromHandle(HWND window) noexcept {
  return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
}

void TWinControl::Detach() noexcept {
  HWND window = FHandle.Release();
  if (!window) return;
  RemovePropW(window, kControlProperty);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  if (FSystemProc) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == SystemControlProc)
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FSystemProc));
    FSystemProc = nullptr;
  }
}

void TWinControl::CreateOwnWindow(const wchar_t* className, const std::wstring& text, DWORD style,
                                  DWORD exStyle, const TBounds& bounds, HWND parent) {
  HWND window = CreateWindowExW(exStyle, className, text.c_str(), style, bounds.Left, bounds.Top,
                                bounds.Width, bounds.Height, parent, nullptr,
                                GetModuleHandleW(nullptr), this);
  if (!window) throw Exception(L"Cannot create a window");
}

void TWinControl::CreateSystemControl(const wchar_t* className, DWORD style, DWORD exStyle,
                                      const TBounds& bounds) {
  const TBounds scaled = ScaledBounds(bounds);
  HWND window = CreateWindowExW(exStyle, className, L"", WS_CHILD | style, scaled.Left, scaled.Top,
                                scaled.Width, scaled.Height, ParentHandle(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (!window) throw Exception(L"Cannot create a control");
  FHandle.Reset(window);
  Attach(window, this);
  // Subclassed by hand: the common controls' SetWindowSubclass looks its chain up in a
  // property at every message, three server round trips per message to the bar under Wine.
  FSystemProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SystemControlProc)));
  if (!FSystemProc) throw Exception(L"Cannot subclass a control");
  if (auto* form = dynamic_cast<TForm*>(Owner())) {
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(form->Font()), FALSE);
  }
}

HWND TWinControl::ParentHandle() const {
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (!owner || !owner->Handle()) throw Exception(L"A control needs a window to live in");
  return owner->Handle();
}

TBounds TWinControl::ScaledBounds(const TBounds& bounds) const {
  auto* form = dynamic_cast<TForm*>(Owner());
  if (!form) return bounds;
  return {form->Scale(bounds.Left), form->Scale(bounds.Top), form->Scale(bounds.Width),
          form->Scale(bounds.Height)};
}

namespace {

RECT BoundsInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (HWND parent = GetParent(window); parent && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace

int TWinControl::Left() const {
  return BoundsInParent(Handle()).left;
}
int TWinControl::Top() const {
  return BoundsInParent(Handle()).top;
}

int TWinControl::Width() const {
  const RECT rect = BoundsInParent(Handle());
  return rect.right - rect.left;
}

int TWinControl::Height() const {
  const RECT rect = BoundsInParent(Handle());
  return rect.bottom - rect.top;
}

void TWinControl::SetLeft(int left) {
  SetWindowPos(Handle(), nullptr, left, Top(), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetTop(int top) {
  SetWindowPos(Handle(), nullptr, Left(), top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetBounds(const TBounds& bounds) {
  SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWinControl::HandleNotification(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}

LRESULT TWinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultHandler(message, wParam, lParam);
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FSystemProc) return CallWindowProcW(FSystemProc, Handle(), message, wParam, lParam);
  return DefWindowProcW(Handle(), message, wParam, lParam);
}

LRESULT TWinControl::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  HWND window = Handle();
  if (message == WM_NCDESTROY) {
    const WNDPROC systemProc = FSystemProc;
    Detach();
    return systemProc ? CallWindowProcW(systemProc, window, message, wParam, lParam)
                      : DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return HandleMessage(message, wParam, lParam);
  } catch (...) {
    Application->HandleException();
    return 0;
  }
}

LRESULT CALLBACK TWinControl::OwnWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* control =
        static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (control) {
      control->FHandle.Reset(window);
      Attach(window, control);
    }
  }
  if (TWinControl* control = ControlOf(window)) return control->Dispatch(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

// Only windows subclassed in CreateSystemControl come here, and Detach hands them back to
// their own procedure before it forgets the control.
LRESULT CALLBACK TWinControl::SystemControlProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  if (TWinControl* control = ControlOf(window); control && control->Handle() == window)
    return control->Dispatch(message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}
