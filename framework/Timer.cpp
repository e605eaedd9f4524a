#include "framework/Timer.h"

#include "framework/Application.h"

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

TTimer::TTimer(TComponent* owner) : TWinControl(owner) {
  CreateOwnWindow(TApplication::RegisterWindowClass(L"TTimerWindow"), L"", 0, 0, {}, HWND_MESSAGE);
  Update();
}

TTimer::~TTimer() {
  if (Handle()) KillTimer(Handle(), kTimerId);
}

void TTimer::ApplySettings(const TSettings& settings) {
  FInterval = settings.Interval;
  FEnabled = settings.Enabled;
  OnTimer = settings.OnTimer;
  Update();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Update();
}

void TTimer::Update() {
  KillTimer(Handle(), kTimerId);
  if (FEnabled && FInterval > 0) SetTimer(Handle(), kTimerId, FInterval, nullptr);
}

void TTimer::Tick() noexcept {
  if (FHeldBack || !OnTimer) return;
  try {
    OnTimer();
  } catch (...) {
    FHeldBack = true;
    Application->HandleException();
    FHeldBack = false;
  }
}

LRESULT TTimer::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    Tick();
    return 0;
  }
  return DefaultHandler(message, wParam, lParam);
}
