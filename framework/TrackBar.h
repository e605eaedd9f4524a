#pragma once

#include <functional>

#include "framework/Control.h"

class TTrackBar : public TWinControl {
public:
  struct TSettings {
    TBounds Bounds;
    int Min = 0;
    int Max = 10;
    int Position = 0;
    std::function<void()> OnChange;
  };

  explicit TTrackBar(TComponent* owner) noexcept : TWinControl(owner) {}

  void ApplySettings(const TSettings& settings);

  int Position() const;

  // Runs whenever the control reports a move.
  std::function<void()> OnChange;

  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
