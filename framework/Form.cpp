#include "framework/Form.h"

#include <algorithm>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Text.h"

namespace {

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

int ScreenPixelsPerInch() {
  TWindowDC screen(nullptr);
  return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

int LineHeight(HFONT font) {
  TWindowDC screen(nullptr);
  TSelectObject selected(screen.Get(), font);
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), L"0", 1, &size);
  return size.cy;
}

}  // namespace

TForm::~TForm() {
  FDestroying = true;
}

void TForm::Initialize() {
  CreateFormWindow();
  CreateComponents();
  Realign();
  LoadComponents();
  if (OnCreate) OnCreate();
}

void TForm::CreateFormWindow() {
  const TFormProperties& properties = Properties();
  const int fontHeight =
      MulDiv(properties.Font.Height, ScreenPixelsPerInch(), properties.PixelsPerInch);
  FFont.Reset(CreateFontW(-fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                          properties.Font.Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                          FromShiftJis(properties.Font.Name).c_str()));
  if (const int measured = FFont ? LineHeight(FFont.Get()) : 0;
      measured > 0 && measured != properties.TextHeight) {
    FScaleNumerator = measured;
    FScaleDenominator = properties.TextHeight;
  }
  FAlphaBlendValue = properties.AlphaBlendValue;

  const DWORD exStyle =
      WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT | (properties.StayOnTop ? WS_EX_TOPMOST : 0);
  RECT frame{0, 0, Scale(properties.ClientWidth), Scale(properties.ClientHeight)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, exStyle);
  CreateOwnWindow(
      TApplication::RegisterWindowClass(WindowClassName()), FromShiftJis(properties.Caption),
      kFormStyle, exStyle,
      {CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top},
      Application->Handle());
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);

  // The frame the system really draws may differ from what AdjustWindowRectEx predicts.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int missingWidth = Scale(properties.ClientWidth) - client.right;
  const int missingHeight = Scale(properties.ClientHeight) - client.bottom;
  if (missingWidth != 0 || missingHeight != 0) {
    SetWindowPos(Handle(), nullptr, 0, 0, Width() + missingWidth, Height() + missingHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int TForm::Scale(int designPixels) const noexcept {
  return MulDiv(designPixels, FScaleNumerator, FScaleDenominator);
}

void TForm::Realign() {
  RECT client{};
  GetClientRect(Handle(), &client);
  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(&Component(i));
    if (control && control->Align() == alClient)
      control->SetBounds({0, 0, client.right, client.bottom});
  }
}

void TForm::Show() {
  if (Visible()) return;
  if (OnShow) OnShow();
  if (!FShownBefore) PlaceForFirstShowing();
  FShownBefore = true;
  ShowWindow(Handle(), SW_SHOW);
}

void TForm::Hide() {
  ShowWindow(Handle(), SW_HIDE);
  if (FModal) FModalDone = true;
}

void TForm::Close() {
  if (OnClose) OnClose();
  if (Application->MainForm() == this) {
    Application->Terminate();
  } else {
    Hide();
  }
}

void TForm::ShowModal() {
  if (Visible() || FModal) throw Exception(L"Cannot make a visible window modal");
  {
    TModalScope modal(Handle());
    FModal = true;
    FModalDone = false;
    struct TResetModal {
      bool& Flag;
      ~TResetModal() { Flag = false; }
    } resetModal{FModal};
    Show();
    SetForegroundWindow(Handle());
    while (!FModalDone && !Application->Terminated()) {
      if (!Application->ProcessMessage()) WaitMessage();
    }
  }
  ShowWindow(Handle(), SW_HIDE);
}

void TForm::PlaceForFirstShowing() {
  if (Properties().Position != poScreenCenter) return;
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2);
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  TForm* main = Application->MainForm();
  if (!main || main == this) return;
  HMONITOR mainMonitor = MonitorFromWindow(main->Handle(), MONITOR_DEFAULTTONEAREST);
  if (mainMonitor == MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST)) return;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(mainMonitor, &info)) return;
  const RECT& area = info.rcMonitor;
  SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - Width()) / 2,
               area.top + (area.bottom - area.top - Height()) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TForm::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void TForm::SetCaption(const std::string& caption) {
  const std::wstring text = FromShiftJis(caption);
  if (text != Caption()) SetWindowTextW(Handle(), text.c_str());
}

void TForm::SetAlphaBlend(bool alphaBlend) {
  if (alphaBlend == FAlphaBlend) return;
  FAlphaBlend = alphaBlend;
  ApplyLayered();
}

void TForm::SetAlphaBlendValue(std::uint8_t value) {
  if (value == FAlphaBlendValue) return;
  FAlphaBlendValue = value;
  ApplyLayered();
}

void TForm::ApplyLayered() {
  const auto setLayeredWindowAttributes = Application->SetLayeredWindowAttributes();
  if (!setLayeredWindowAttributes || !Handle()) return;
  const LONG exStyle = GetWindowLongW(Handle(), GWL_EXSTYLE);
  if (FAlphaBlend) {
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    setLayeredWindowAttributes(Handle(), 0, FAlphaBlendValue, LWA_ALPHA);
  } else if (exStyle & WS_EX_LAYERED) {
    SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TForm::EndSession() noexcept {
  if (FSessionEnded) return;
  FSessionEnded = true;
  if (!OnEndSession) return;
  // Windows ends the process soon after, and a box shown now would hold it up.
  try {
    OnEndSession();
  } catch (...) {
    ReportToDebugger(ExceptionMessage(std::current_exception()));
  }
}

TForm* TForm::OfWindow(HWND window) noexcept {
  for (; window; window = GetParent(window)) {
    if (auto* form = dynamic_cast<TForm*>(FromHandle(window))) return form;
    if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

void TForm::RestoreFocus() {
  TWinControl* target = FFocused ? FFocused : ActiveControl;
  for (std::size_t i = 0; !target && i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(&Component(i));
    if (control && control->TabStop() && control->Visible() && control->Enabled()) target = control;
  }
  if (target) {
    FFocused = target;
    SetFocus(target->Handle());
  }
}

void TForm::SelectNext(bool forward) {
  std::vector<TWinControl*> stops;
  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(&Component(i));
    if (control && control->TabStop() && control->Visible() && control->Enabled())
      stops.push_back(control);
  }
  if (stops.empty()) return;
  const auto current = std::find(stops.begin(), stops.end(), FromHandle(GetFocus()));
  std::size_t next = 0;
  if (current != stops.end()) {
    const std::size_t index = static_cast<std::size_t>(current - stops.begin());
    next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
  }
  FFocused = stops[next];
  SetFocus(FFocused->Handle());
}

bool TForm::DialogKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  SelectNext(GetKeyState(VK_SHIFT) >= 0);
  return true;
}

void TForm::PaintFrames() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    auto* control = dynamic_cast<TWinControl*>(&Component(i));
    if (!control || !control->SunkenFrame()) continue;
    RECT frame{control->Left() - 1, control->Top() - 1, control->Left() + control->Width(),
               control->Top() + control->Height()};
    const RECT top{frame.left, frame.top, frame.right, frame.top + 1};
    const RECT left{frame.left, frame.top, frame.left + 1, frame.bottom};
    const RECT bottom{frame.left, frame.bottom, frame.right + 1, frame.bottom + 1};
    const RECT right{frame.right, frame.top, frame.right + 1, frame.bottom + 1};
    FillRect(dc, &top, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &left, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &right, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  }
  EndPaint(Handle(), &paint);
}

bool TForm::Reflect(UINT message, HWND control, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  TWinControl* target = FromHandle(control);
  return target && target != this && target->HandleNotification(message, wParam, lParam, result);
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (FDestroying) return DefaultHandler(message, wParam, lParam);
  LRESULT result = 0;
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SIZE:
      Realign();
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      if (lParam && Reflect(message, reinterpret_cast<HWND>(lParam), wParam, lParam, result))
        return result;
      break;
    case WM_NOTIFY:
      if (Reflect(message, reinterpret_cast<NMHDR*>(lParam)->hwndFrom, wParam, lParam, result))
        return result;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (TWinControl* focused = FromHandle(GetFocus()); focused && focused->Owner() == this)
          FFocused = focused;
      } else {
        RestoreFocus();
      }
      return 0;
    case WM_PAINT:
      PaintFrames();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) EndSession();
      return 0;
  }
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORSCROLLBAR) {
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
    SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefaultHandler(message, wParam, lParam);
}
