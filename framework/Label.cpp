#include "framework/Label.h"

#include "framework/Form.h"
#include "framework/Text.h"

void TLabel::ApplySettings(const TSettings& settings) {
  CreateSystemControl(L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, settings.Bounds);
  const std::wstring text = FromShiftJis(settings.Caption);
  SetWindowTextW(Handle(), text.c_str());
  auto* form = dynamic_cast<TForm*>(Owner());
  if (!settings.AutoSize || !form) return;
  TWindowDC screen(nullptr);
  TSelectObject selected(screen.Get(), form->Font());
  SIZE size{};
  GetTextExtentPoint32W(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  SetBounds({Left(), Top(), size.cx, size.cy});
}

std::wstring TLabel::Caption() const {
  wchar_t text[256] = {};
  GetWindowTextW(Handle(), text, 256);
  return text;
}
