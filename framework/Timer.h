#pragma once

#include <functional>

#include "framework/Control.h"

// A message-based timer: its ticks arrive through whichever message loop is running, modal
// ones included. While the error display shows what one of its ticks raised, further ticks
// of that timer are held back, so a fault that repeats never stacks up boxes.
class TTimer : public TWinControl {
public:
  struct TSettings {
    unsigned Interval = 1000;  // milliseconds
    bool Enabled = true;
    std::function<void()> OnTimer;
  };

  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  void ApplySettings(const TSettings& settings);

  unsigned Interval() const noexcept { return FInterval; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetInterval(unsigned interval);
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  // What a WM_TIMER does; public so that tests and benchmarks can drive the handler directly.
  void Tick() noexcept;

protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void Update();

  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FHeldBack = false;
};
