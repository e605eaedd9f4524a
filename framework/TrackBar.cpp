#include "framework/TrackBar.h"

#include <commctrl.h>

void TTrackBar::ApplySettings(const TSettings& settings) {
  CreateSystemControl(TRACKBAR_CLASSW, WS_VISIBLE | WS_TABSTOP | TBS_HORZ, 0, settings.Bounds);
  SetTabStop(true);
  SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, settings.Min);
  SendMessageW(Handle(), TBM_SETRANGEMAX, FALSE, settings.Max);
  SendMessageW(Handle(), TBM_SETPOS, TRUE, settings.Position);
  OnChange = settings.OnChange;
}

int TTrackBar::Position() const {
  return static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
}

bool TTrackBar::HandleNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_HSCROLL) return false;
  result = 0;
  // Every key press ends with TB_ENDTRACK, which is no move of its own.
  if (LOWORD(wParam) != TB_ENDTRACK && OnChange) OnChange();
  return true;
}
