#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/Exception.h"

// The meter's two windows, created in process the way the program creates them, with the
// kernel counters replaced by a script and the timers stopped unless a test starts them.

// Stands in for the kernel counters: each sample gives the next scripted value, and a
// missing value (an empty function) raises an error.
class TScriptedUsage : public TCpuUsage {
public:
  explicit TScriptedUsage(TComponent* owner) : TCpuUsage(owner) {}
  std::vector<std::function<int()>> Script;
  std::size_t Samples = 0;
  int Resets = 0;

  int GetNtUsage() override {
    const std::size_t index = Samples++;
    if (index >= Script.size() || !Script[index]) throw Exception(L"sampling failed");
    return Script[index]();
  }
  void ResetCounters() override {
    ++Resets;
    TCpuUsage::ResetCounters();
  }
};

inline std::function<int()> Gives(int value) {
  return [value] { return value; };
}

// Watches for the error display on this thread, notes what it says and closes it.
struct TBoxWatch {
  static inline std::vector<std::wstring> Texts;
  static inline std::vector<std::wstring> Captions;
  static inline int MostOpenAtOnce = 0;
  // Whether the meter took input while each box was open.
  static inline std::vector<bool> MeterEnabled;

  static BOOL CALLBACK Find(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window))
      reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
  }
  static std::vector<HWND> Boxes() {
    std::vector<HWND> boxes;
    EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
  }
  // Closes each box it finds once the box has been open for a while, so that timers get the
  // chance to tick underneath it.
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    const auto boxes = Boxes();
    MostOpenAtOnce = std::max(MostOpenAtOnce, static_cast<int>(boxes.size()));
    for (HWND box : boxes) {
      auto known = std::find_if(seen.begin(), seen.end(), [&](auto& s) { return s.first == box; });
      if (known == seen.end()) {
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        Texts.push_back(text);
        GetWindowTextW(box, text, 512);
        Captions.push_back(text);
        MeterEnabled.push_back(Form1 && IsWindowEnabled(Form1->Handle()));
        seen.emplace_back(box, GetTickCount());
      } else if (GetTickCount() - known->second > CloseAfterMilliseconds) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    }
  }
  static inline DWORD CloseAfterMilliseconds = 0;
  static inline std::vector<std::pair<HWND, DWORD>> seen;

  explicit TBoxWatch(DWORD closeAfter) {
    Texts.clear();
    Captions.clear();
    MeterEnabled.clear();
    MostOpenAtOnce = 0;
    seen.clear();
    CloseAfterMilliseconds = closeAfter;
    FTimer = SetTimer(nullptr, 0, 20, Poll);
  }
  ~TBoxWatch() { KillTimer(nullptr, FTimer); }
  UINT_PTR FTimer;
};

inline std::wstring SettingsFile() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"Vimbrel.ini";
}

class Meter : public ::testing::Test {
protected:
  void SetUp() override {
    // Settings left by an earlier test would move and colour the window.
    DeleteFileW(SettingsFile().c_str());
    Application->Initialize();
    Application->SetTitle("Vimbrel");
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    // The real timers would tick at their own pace; these tests tick by hand.
    Form1->Timer1->SetEnabled(false);
    Form1->Timer2->SetEnabled(false);
    Usage = &Form1->Create<TScriptedUsage>();
    Form1->CpuUsage1 = Usage;
    Form1->Show();
  }

  void Pump(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until)
      if (!Application->ProcessMessage()) Sleep(1);
  }

  TApplication FApplication;
  TScriptedUsage* Usage = nullptr;
};

// Runs one step each time the timer fires, from inside whatever modal loop is running; the
// last step is expected to end that loop.
class TModalScript {
public:
  explicit TModalScript(std::vector<std::function<void()>> steps, UINT interval = 60) {
    Steps() = std::move(steps);
    Next() = 0;
    FTimer = SetTimer(nullptr, 0, interval, Run);
  }
  TModalScript(const TModalScript&) = delete;
  TModalScript& operator=(const TModalScript&) = delete;
  ~TModalScript() { KillTimer(nullptr, FTimer); }
  static bool Finished() { return Next() >= Steps().size(); }

private:
  static std::vector<std::function<void()>>& Steps() {
    static std::vector<std::function<void()>> steps;
    return steps;
  }
  static std::size_t& Next() {
    static std::size_t next = 0;
    return next;
  }
  static void CALLBACK Run(HWND, UINT, UINT_PTR, DWORD) {
    if (Finished()) return;
    // A failed expectation inside a step must not end the loop early: gtest records it.
    Steps()[Next()++]();
  }
  UINT_PTR FTimer;
};
