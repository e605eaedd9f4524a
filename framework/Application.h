#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Handles.h"

class TForm;

// The program's application object: it owns the forms (destroying them in the reverse order
// of their creation), the hidden top-level window that owns every form, the message loop,
// and the one standard error display.
class TApplication : public TComponent {
public:
  using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);

  TApplication();
  ~TApplication() override;

  void Initialize();

  // The title is a program text (Shift-JIS); it names the hidden window and the error display.
  void SetTitle(const std::string& title);
  const std::string& Title() const noexcept { return FTitle; }

  HWND Handle() const noexcept { return FHandle.Get(); }
  TForm* MainForm() const noexcept { return FMainForm; }

  // The reference is set as soon as the form object exists, before its layout is applied,
  // so the form's own creation handler can already reach it.
  template <class T>
  void CreateForm(T*& reference) {
    T& form = Create<T>();
    reference = &form;
    if (!FMainForm) FMainForm = &form;
    InitializeForm(form);
  }

  // Shows the main form and dispatches messages until Terminate.
  void Run();
  // Dispatches one message if there is one; false when none was waiting.
  bool ProcessMessage();
  void Terminate() noexcept;
  bool Terminated() const noexcept { return FTerminated; }

  // The standard error display. Called from inside a catch handler.
  void HandleException() noexcept;
  void ShowException(const std::exception_ptr& error) noexcept;

  // A modal message box owned by the hidden window, with the program's other windows
  // disabled and its stay-on-top windows lowered while it is open.
  int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);

  // Null on systems without layered windows (before Windows 2000).
  SetLayeredWindowAttributesFunction SetLayeredWindowAttributes() const noexcept {
    return FSetLayeredWindowAttributes;
  }
  // Replaces what Initialize found; null runs the program as on a system without layered
  // windows, which tests cannot otherwise have.
  void UseSetLayeredWindowAttributes(SetLayeredWindowAttributesFunction function) noexcept {
    FSetLayeredWindowAttributes = function;
  }

  // Registers a window class of ours once; every one shares the framework's window procedure.
  static const wchar_t* RegisterWindowClass(const wchar_t* name);

private:
  void InitializeForm(TForm& form);
  static LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam);

  std::string FTitle;
  TUniqueWindow FHandle;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  SetLayeredWindowAttributesFunction FSetLayeredWindowAttributes = nullptr;
};

extern TApplication* Application;

// Disables the thread's other top-level windows and lowers its stay-on-top windows among the
// ordinary ones for as long as a modal window or box is open.
class TModalScope {
public:
  explicit TModalScope(HWND except = nullptr);
  TModalScope(const TModalScope&) = delete;
  TModalScope& operator=(const TModalScope&) = delete;
  ~TModalScope();

private:
  struct TWindowState {
    HWND Window;
    bool WasTopmost;
  };
  static BOOL CALLBACK Collect(HWND window, LPARAM scope);
  HWND FExcept;
  HWND FActive;
  std::vector<TWindowState> FWindows;
};
