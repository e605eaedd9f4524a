#include "framework/ProgressBar.h"

#include <commctrl.h>
#include <windowsx.h>

void TProgressBar::ApplySettings(const TSettings& settings) {
  CreateSystemControl(PROGRESS_CLASSW, WS_VISIBLE | (settings.Smooth ? PBS_SMOOTH : 0), 0,
                      settings.Bounds);
  SetAlign(settings.Align);
  SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(settings.Min),
               static_cast<LPARAM>(settings.Max));
  OnMouseDown = settings.OnMouseDown;
}

int TProgressBar::Position() const {
  return static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
}

void TProgressBar::SetPosition(int position) {
  SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

LRESULT TProgressBar::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  TMouseButton button;
  switch (message) {
    case WM_LBUTTONDOWN:
      button = mbLeft;
      break;
    case WM_RBUTTONDOWN:
      button = mbRight;
      break;
    case WM_MBUTTONDOWN:
      button = mbMiddle;
      break;
    default:
      return DefaultHandler(message, wParam, lParam);
  }
  const LRESULT result = DefaultHandler(message, wParam, lParam);
  if (OnMouseDown)
    OnMouseDown(button, ShiftStateFromMouseKeys(wParam), GET_X_LPARAM(lParam),
                GET_Y_LPARAM(lParam));
  return result;
}
