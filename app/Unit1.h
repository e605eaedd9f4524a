#pragma once

#include "framework/Form.h"
#include "framework/ProgressBar.h"
#include "framework/Timer.h"
#include "sampler/CpuUtils.h"

// The meter: a caption bar above a thin bar that shows the processor load.
class TForm1 : public TForm {
public:
  explicit TForm1(TComponent* owner) noexcept : TForm(owner) {}

  TProgressBar* ProgressBar1 = nullptr;
  TCpuUsage* CpuUsage1 = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* Timer2 = nullptr;

  void FormCreate();
  void Timer1Timer();
  void Timer2Timer();

protected:
  const TFormProperties& Properties() const override;
  const wchar_t* WindowClassName() const override { return L"TForm1"; }
  void CreateComponents() override;
};

extern TForm1* Form1;
