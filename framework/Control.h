#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Component.h"
#include "framework/Handles.h"

enum TAlign : std::uint8_t { alNone, alClient };

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// The keys and mouse buttons held while a mouse event happened.
enum TShiftFlag : std::uint8_t {
  ssShift = 1,
  ssCtrl = 2,
  ssAlt = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
};
struct TShiftState {
  std::uint8_t Flags = 0;
  bool Contains(TShiftFlag flag) const noexcept { return (Flags & flag) != 0; }
};
TShiftState ShiftStateFromMouseKeys(WPARAM keys) noexcept;

// A component with a window. Windows of our own classes and subclassed system controls both
// route their messages through HandleMessage, which never lets an exception escape to the
// system: it goes to the application's error display instead.
class TWinControl : public TComponent {
public:
  explicit TWinControl(TComponent* owner) noexcept : TComponent(owner) {}
  ~TWinControl() override;

  HWND Handle() const noexcept { return FHandle.Get(); }
  static TWinControl* FromHandle(HWND window) noexcept;

  // Left and top as the system holds them: screen pixels for a top-level window, parent
  // client pixels for a child.
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetBounds(const TBounds& bounds);

  bool Visible() const noexcept { return IsWindowVisible(Handle()) != FALSE; }
  bool Enabled() const noexcept { return IsWindowEnabled(Handle()) != FALSE; }
  bool TabStop() const noexcept { return FTabStop; }

  TAlign Align() const noexcept { return FAlign; }
  // The owning form draws a one-pixel sunken frame around such a control.
  bool SunkenFrame() const noexcept { return FSunkenFrame; }

  // Notifications that the parent received on this control's behalf (WM_HSCROLL and the like).
  virtual bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
  // A window of one of our own registered classes.
  void CreateOwnWindow(const wchar_t* className, const std::wstring& text, DWORD style,
                       DWORD exStyle, const TBounds& bounds, HWND parent);
  // A child window of a system class, subclassed so that its messages pass through here.
  void CreateSystemControl(const wchar_t* className, DWORD style, DWORD exStyle,
                           const TBounds& bounds);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

  void SetAlign(TAlign align) noexcept { FAlign = align; }
  void SetTabStop(bool tabStop) noexcept { FTabStop = tabStop; }
  void SetSunkenFrame(bool sunkenFrame) noexcept { FSunkenFrame = sunkenFrame; }
  // The owner's handle: controls are children of the form that owns them.
  HWND ParentHandle() const;
  // Design-time pixels to this system's pixels, by the owning form's scale.
  TBounds ScaledBounds(const TBounds& bounds) const;

private:
  friend class TApplication;
  static LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SystemControlProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  void Detach() noexcept;

  TUniqueWindow FHandle;
  // A system control's own window procedure, which ours stands in front of.
  WNDPROC FSystemProc = nullptr;
  TAlign FAlign = alNone;
  bool FTabStop = false;
  bool FSunkenFrame = false;
};
