#include "framework/ScrollBar.h"

#include <algorithm>

void TScrollBar::ApplySettings(const TSettings& settings) {
  CreateSystemControl(L"SCROLLBAR", WS_VISIBLE | WS_TABSTOP | SBS_HORZ, 0, settings.Bounds);
  SetTabStop(true);
  SetSunkenFrame(settings.SunkenFrame);
  FMin = settings.Min;
  FMax = settings.Max;
  FSmallChange = settings.SmallChange;
  FLargeChange = settings.LargeChange;
  FPosition = std::clamp(settings.Position, FMin, FMax);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = FMin;
  info.nMax = FMax;
  info.nPage = static_cast<UINT>(settings.PageSize);
  info.nPos = FPosition;
  SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
  OnChange = settings.OnChange;
}

void TScrollBar::SetPosition(int position) {
  position = std::clamp(position, FMin, FMax);
  if (position == FPosition) return;
  FPosition = position;
  SetScrollPos(Handle(), SB_CTL, FPosition, TRUE);
  if (OnChange) OnChange();
}

bool TScrollBar::HandleNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL) return false;
  result = 0;
  switch (LOWORD(wParam)) {
    case SB_LINELEFT:
      SetPosition(FPosition - FSmallChange);
      break;
    case SB_LINERIGHT:
      SetPosition(FPosition + FSmallChange);
      break;
    case SB_PAGELEFT:
      SetPosition(FPosition - FLargeChange);
      break;
    case SB_PAGERIGHT:
      SetPosition(FPosition + FLargeChange);
      break;
    case SB_LEFT:
      SetPosition(FMin);
      break;
    case SB_RIGHT:
      SetPosition(FMax);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The message carries 16 bits of the thumb's place: enough for a slider's range.
      SetPosition(static_cast<short>(HIWORD(wParam)));
      break;
  }
  return true;
}
