#pragma once

#include <functional>

#include "framework/Control.h"

// A horizontal scroll bar used as a slider. Setting the position keeps it within the range
// and runs OnChange only when the position really changes; applying the layout runs nothing.
class TScrollBar : public TWinControl {
public:
  struct TSettings {
    TBounds Bounds;
    int Min = 0;
    int Max = 100;
    int Position = 0;
    int PageSize = 0;
    int SmallChange = 1;  // the arrows and the arrow keys
    int LargeChange = 1;  // clicks in the trough, Page Up and Page Down
    bool SunkenFrame = false;
    std::function<void()> OnChange;
  };

  explicit TScrollBar(TComponent* owner) noexcept : TWinControl(owner) {}

  void ApplySettings(const TSettings& settings);

  int Min() const noexcept { return FMin; }
  int Max() const noexcept { return FMax; }
  int Position() const noexcept { return FPosition; }
  void SetPosition(int position);

  std::function<void()> OnChange;

  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
};
