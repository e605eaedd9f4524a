#pragma once

#include "framework/Form.h"
#include "framework/Label.h"
#include "framework/ScrollBar.h"
#include "framework/TrackBar.h"

// The opacity window: a slider between "fainter" and "denser" that sets the meter's opacity
// while it moves.
class TForm2 : public TForm {
public:
  explicit TForm2(TComponent* owner) noexcept : TForm(owner) {}

  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TTrackBar* kosaold = nullptr;
  TScrollBar* kosa = nullptr;

  void FormShow();
  void kosaChange();
  void kosaoldChange();

protected:
  const TFormProperties& Properties() const override;
  const wchar_t* WindowClassName() const override { return L"TForm2"; }
  void CreateComponents() override;
};

extern TForm2* Form2;
