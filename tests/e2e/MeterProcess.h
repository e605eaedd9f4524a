#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
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

private:
  std::wstring FFolder;
  PROCESS_INFORMATION FProcess{};
  HWND FMeter = nullptr;
};

// Polls until the condition holds or the time is up; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// The folder the test exes (and Vimbrel.exe) were built into, with a trailing backslash.
std::wstring BuildFolder();
