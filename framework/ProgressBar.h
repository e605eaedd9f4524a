#pragma once

#include <functional>

#include "framework/Control.h"

class TProgressBar : public TWinControl {
public:
  using TMouseEvent = std::function<void(TMouseButton, TShiftState, int x, int y)>;

  struct TSettings {
    TBounds Bounds;
    TAlign Align = alNone;
    int Min = 0;
    int Max = 100;
    bool Smooth = false;
    TMouseEvent OnMouseDown;
  };

  explicit TProgressBar(TComponent* owner) noexcept : TWinControl(owner) {}

  void ApplySettings(const TSettings& settings);

  // The control keeps its position within its range.
  int Position() const;
  void SetPosition(int position);

  TMouseEvent OnMouseDown;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};
