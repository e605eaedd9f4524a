#pragma once

#include <string>

#include "framework/Control.h"

// A line of static text that sizes itself to its text in the form's font.
class TLabel : public TWinControl {
public:
  struct TSettings {
    TBounds Bounds;
    const char* Caption = "";  // a program text, Shift-JIS
    bool AutoSize = true;
  };

  explicit TLabel(TComponent* owner) noexcept : TWinControl(owner) {}

  void ApplySettings(const TSettings& settings);

  std::wstring Caption() const;
};
