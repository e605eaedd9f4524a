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

  ProgressBar1 = &Create<TProgressBar>({
      .Align = alClient,
      .Min = 0,
      .Max = 100,
      .Smooth = true,
  });
  CpuUsage1 = &Create<TCpuUsage>();
  Timer1 =
      &Create<TTimer>({.Interval = 500, .Enabled = true, .OnTimer = [this] { Timer1Timer(); }});
  Timer2 =
      &Create<TTimer>({.Interval = 60000, .Enabled = true, .OnTimer = [this] { Timer2Timer(); }});

  ActiveControl = ProgressBar1;
}
