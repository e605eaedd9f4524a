// The meter window's layout data: the window, then its components in creation order.
#include "app/Unit1.h"

const TFormProperties& TForm1::Properties() const {
  static const TFormProperties properties{
      .Caption = "Vimbrel",
      .ClientWidth = 141,
      .ClientHeight = 11,
      .StayOnTop = true,
      .Position = poDefault,
      .Font = {.Name = "ＭＳ Ｐゴシック", .Height = 12, .Charset = SHIFTJIS_CHARSET},
      .AlphaBlendValue = 200,
  };
  return properties;
}

void TForm1::CreateComponents() {
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };
  OnEndSession = [this] { FormEndSession(); };

  ProgressBar1 = &Create<TProgressBar>({
      .Align = alClient,
      .Min = 0,
      .Max = 100,
      .Smooth = true,
      .OnMouseDown = [this](TMouseButton button, TShiftState shift, int x,
                            int y) { ProgressBar1MouseDown(button, shift, x, y); },
  });
  CpuUsage1 = &Create<TCpuUsage>();
  Timer1 =
      &Create<TTimer>({.Interval = 500, .Enabled = true, .OnTimer = [this] { Timer1Timer(); }});
  Timer2 =
      &Create<TTimer>({.Interval = 60000, .Enabled = true, .OnTimer = [this] { Timer2Timer(); }});
  IniKova1 = &Create<TIniKova>({
      .DefaultDir = ddApplication,
      .FileName = "Vimbrel.ini",
      .Fence = fnNone,
  });

  ActiveControl = ProgressBar1;
}
