#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Starts a copy of the real Vimbrel.exe in a folder of its own and looks at it from outside,
// the way a user's desktop would, through the Win32 API.
class TMeterProcess {
public:
  // Copies the exe (built beside the test) into a fresh folder; settings land there.
  TMeterProcess();
  TMeterProcess(const TMeterProcess&) = delete;
  TMeterProcess& operator=(const TMeterProcess&) = delete;
  ~TMeterProcess();

  const std::wstring& Folder() const noexcept { return FFolder; }
  std::wstring SettingsPath() const { return FFolder + L"\\Vimbrel.ini"; }

  // Starts the program and waits for its meter window to be visible.
  void Start();
  DWORD ProcessId() const noexcept { return FProcess.dwProcessId; }
  HWND Meter() const noexcept { return FMeter; }
  HWND Bar() const;

  std::wstring Caption(HWND window) const;
  std::wstring MeterCaption() const { return Caption(FMeter); }
  int BarPosition() const;

  // Every visible top-level window of the program.
  std::vector<HWND> VisibleWindows() const;
  // Its visible top-level window of that class ("TForm2", "#32770" for a message box,
  // "#32768" for an open menu), or null.
  HWND VisibleWindowOfClass(const wchar_t* className) const;
  // Waits for such a window; null when none came.
  HWND WaitForWindowOfClass(const wchar_t* className, std::chrono::milliseconds timeout) const;
  // The text of a message box's message.
  static std::wstring MessageBoxText(HWND box);

  // The settings file's bytes, empty when there is none; and writing it before Start.
  std::string ReadSettings() const;
  void WriteSettings(const std::string& content) const;

  // Posts a window-menu command to the meter, as choosing it in the menu does.
  void PostCommand(WPARAM command) const;

  // Waits for the program to end; returns its exit code, or STILL_ACTIVE on timeout.
  DWORD WaitForExit(std::chrono::milliseconds timeout);
  bool Running() const;

  // Before Start: the place the system gives the program's first window that asks for the
  // default place (STARTF_USEPOSITION), as a shortcut's settings can.
  void SetStartupPosition(POINT place) noexcept { FStartupPosition = place; }
  // Every top-level window of the program, hidden ones too, front to back.
  std::vector<HWND> TopLevelWindows() const;
  // Whether the meter's caption changes from what it is now before the time is up.
  bool WaitForCaptionChange(std::chrono::milliseconds timeout) const;

private:
  std::wstring FFolder;
  PROCESS_INFORMATION FProcess{};
  HWND FMeter = nullptr;
  std::optional<POINT> FStartupPosition;
};

// Loads every processor for a while and then leaves them idle, over and over, so that the
// meter has a changing load to show.
class TSwingingLoad {
public:
  TSwingingLoad();
  TSwingingLoad(const TSwingingLoad&) = delete;
  TSwingingLoad& operator=(const TSwingingLoad&) = delete;
  ~TSwingingLoad();

private:
  std::atomic<bool> FStop{false};
  std::vector<std::thread> FThreads;
};

// Polls until the condition holds or the time is up; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The folder the test exes (and Vimbrel.exe) were built into, with a trailing backslash.
std::wstring BuildFolder();

RECT WindowRect(HWND window);
void MoveWindowTo(HWND window, POINT place);
bool Layered(HWND window);
// The constant alpha of a layered window, or -1 when it has none.
int LayeredAlpha(HWND window);
// Sends and waits at most a few seconds; -1 when no answer came.
LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
