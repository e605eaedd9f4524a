// The opacity window's layout data: the window, then its controls in creation (and tab)
// order.
#include "app/Unit2.h"

const TFormProperties& TForm2::Properties() const {
  static const TFormProperties properties{
      .Caption = "濃さ調節",
      .ClientWidth = 216,
      .ClientHeight = 33,
      .StayOnTop = true,
      .Position = poScreenCenter,
      .Font = {.Name = "ＭＳ Ｐゴシック", .Height = 12, .Charset = SHIFTJIS_CHARSET},
  };
  return properties;
}

void TForm2::CreateComponents() {
  OnShow = [this] { FormShow(); };

  Label1 = &Create<TLabel>({.Bounds = {8, 10, 19, 12}, .Caption = "薄く"});
  Label2 = &Create<TLabel>({.Bounds = {184, 10, 19, 12}, .Caption = "濃く"});
  // Lies wholly below the client area: never seen, yet a tab stop.
  kosaold = &Create<TTrackBar>({
      .Bounds = {32, 40, 150, 25},
      .Min = 5,
      .Max = 255,
      .Position = 255,
      .OnChange = [this] { kosaoldChange(); },
  });
  kosa = &Create<TScrollBar>({
      .Bounds = {32, 8, 145, 16},
      .Min = 5,
      .Max = 255,
      .Position = 200,
      .PageSize = 0,
      .SmallChange = 1,
      .LargeChange = 1,
      .SunkenFrame = true,
      .OnChange = [this] { kosaChange(); },
  });
}
