#pragma once

#include <windows.h>

#include "framework/Form.h"
#include "framework/ProgressBar.h"
#include "framework/Timer.h"
#include "sampler/CpuUtils.h"
#include "settings/IniKova.h"

// The commands the program adds to the meter's window menu.
enum TWindowMenuCommand : WPARAM {
  cmAbout = 1,
  cmSupportPage = 2,
  cmTranslucent = 3,
  cmOpaque = 4,
  cmOpacity = 5,
};

// A screen point as the window-menu message carries it: x and y in 16 bits each.
LPARAM PackScreenPoint(POINT point) noexcept;

// The meter: a caption bar above a thin bar that shows the processor load.
class TForm1 : public TForm {
public:
  explicit TForm1(TComponent* owner) noexcept : TForm(owner) {}

  TProgressBar* ProgressBar1 = nullptr;
  TCpuUsage* CpuUsage1 = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* Timer2 = nullptr;
  TIniKova* IniKova1 = nullptr;

  void FormCreate();
  void FormClose();
  void FormEndSession();
  void Timer1Timer();
  void Timer2Timer();
  void ProgressBar1MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void WMSysCommand(WPARAM command);

protected:
  const TFormProperties& Properties() const override;
  const wchar_t* WindowClassName() const override { return L"TForm1"; }
  void CreateComponents() override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void AddWindowMenuItems();
  void LoadSettings();
  void SaveSettings();
};

extern TForm1* Form1;
