#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Control.h"

struct TFontSpec {
  const char* Name;  // a program text, Shift-JIS
  int Height;        // pixels at the layout's dots per inch
  BYTE Charset;
};

enum TFormPosition : std::uint8_t {
  poDefault,       // where the system places a new window
  poScreenCenter,  // centred the first time it is shown, where it was afterwards
};

// What a form's layout data says of the window itself. Sizes are design-time pixels at
// PixelsPerInch with a line of text in Font being TextHeight pixels high.
struct TFormProperties {
  const char* Caption;
  int ClientWidth;
  int ClientHeight;
  bool StayOnTop;
  TFormPosition Position;
  TFontSpec Font;
  std::uint8_t AlphaBlendValue = 255;  // the opacity used while translucency is on
  int PixelsPerInch = 96;
  int TextHeight = 12;
};

// A top-level window with a small caption bar and only a close box, owned by the
// application's hidden window so that it has no taskbar button of its own.
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* owner) noexcept : TWinControl(owner) {}
  ~TForm() override;

  // Builds the window from the layout, then its components, then runs OnCreate.
  void Initialize();

  std::function<void()> OnCreate;
  std::function<void()> OnShow;
  // Runs when the window is asked to close; an error raised here abandons the close.
  std::function<void()> OnClose;
  // Runs when Windows ends the session; no window may be shown from here.
  std::function<void()> OnEndSession;
  // Runs OnEndSession, once, whichever of the program's windows hears of the end first.
  void EndSession() noexcept;

  void Show();
  void Hide();
  void Close();
  // Shows the window modally and returns once it has been closed.
  void ShowModal();
  bool Modal() const noexcept { return FModal; }

  std::wstring Caption() const;
  // The caption is a program text (Shift-JIS); unchanged text is not written again.
  void SetCaption(const std::string& caption);

  bool AlphaBlend() const noexcept { return FAlphaBlend; }
  void SetAlphaBlend(bool alphaBlend);
  std::uint8_t AlphaBlendValue() const noexcept { return FAlphaBlendValue; }
  void SetAlphaBlendValue(std::uint8_t value);

  HFONT Font() const noexcept { return FFont.Get(); }
  // Design-time pixels to this system's, by the measured height of a line of text.
  int Scale(int designPixels) const noexcept;

  // The control that gets the focus when the window is first activated; without one, the
  // first visible and enabled tab stop does.
  TWinControl* ActiveControl = nullptr;
  // The control that has the focus, or had it when the window was last deactivated.
  TWinControl* FocusedControl() const noexcept { return FFocused; }

  // Tab and Shift+Tab move the focus between the tab stops; true when the key was used.
  bool DialogKey(const MSG& message);
  // The form a window belongs to, if it is one of ours.
  static TForm* OfWindow(HWND window) noexcept;

protected:
  virtual const TFormProperties& Properties() const = 0;
  virtual const wchar_t* WindowClassName() const = 0;
  // The layout's components, in its order, each with its settings.
  virtual void CreateComponents() = 0;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  void CreateFormWindow();
  void Realign();
  void ApplyLayered();
  void PlaceForFirstShowing();
  void RestoreFocus();
  void SelectNext(bool forward);
  void PaintFrames();
  bool Reflect(UINT message, HWND control, WPARAM wParam, LPARAM lParam, LRESULT& result);

  TUniqueFont FFont;
  int FScaleNumerator = 1;
  int FScaleDenominator = 1;
  bool FAlphaBlend = false;
  std::uint8_t FAlphaBlendValue = 255;
  bool FModal = false;
  bool FModalDone = false;
  bool FShownBefore = false;
  bool FDestroying = false;
  bool FSessionEnded = false;
  TWinControl* FFocused = nullptr;
};
