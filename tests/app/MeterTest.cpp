#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/Exception.h"

namespace {

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

std::function<int()> Gives(int value) {
  return [value] { return value; };
}

// Watches for the error display on this thread, notes what it says and closes it.
struct TBoxWatch {
  static inline std::vector<std::wstring> Texts;
  static inline std::vector<std::wstring> Captions;
  static inline int MostOpenAtOnce = 0;

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
    static std::vector<std::pair<HWND, DWORD>> seen;
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
        seen.emplace_back(box, GetTickCount());
      } else if (GetTickCount() - known->second > CloseAfterMilliseconds) {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
    }
  }
  static inline DWORD CloseAfterMilliseconds = 0;

  explicit TBoxWatch(DWORD closeAfter) {
    Texts.clear();
    Captions.clear();
    MostOpenAtOnce = 0;
    CloseAfterMilliseconds = closeAfter;
    FTimer = SetTimer(nullptr, 0, 20, Poll);
  }
  ~TBoxWatch() { KillTimer(nullptr, FTimer); }
  UINT_PTR FTimer;
};

std::wstring SettingsFile() {
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
  }

  void Pump(std::chrono::milliseconds duration) {
    const auto until = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < until)
      if (!Application->ProcessMessage()) Sleep(1);
  }

  TApplication FApplication;
  TScriptedUsage* Usage = nullptr;
};

TEST_F(Meter, ComponentsExistInLayoutOrderBeforeTheCreationHandlerRuns) {
  ASSERT_GE(Form1->ComponentCount(), 4u);
  EXPECT_EQ(&Form1->Component(0), Form1->ProgressBar1);
  EXPECT_NE(dynamic_cast<TCpuUsage*>(&Form1->Component(1)), nullptr);
  EXPECT_EQ(&Form1->Component(2), Form1->Timer1);
  EXPECT_EQ(&Form1->Component(3), Form1->Timer2);
  EXPECT_EQ(Form1->Timer1->Interval(), 500u);
  EXPECT_EQ(Form1->Timer2->Interval(), 60000u);
  EXPECT_EQ(Form1->Caption(), L"Vimbrel");
  EXPECT_EQ(Application->MainForm(), Form1);
}

TEST_F(Meter, CaptionShowsWhatTheBarShows) {
  const struct {
    int sample;
    int bar;
    const wchar_t* caption;
  } cases[] = {
      {0, 0, L"Vimbrel - 0%"},       {37, 37, L"Vimbrel - 37%"},
      {100, 100, L"Vimbrel - 100%"}, {101, 100, L"Vimbrel - 100%"},
      {255, 100, L"Vimbrel - 100%"}, {-1, 100, L"Vimbrel - 100%"},  // the low byte of -1 is 255
      {256, 0, L"Vimbrel - 0%"},                                    // and that of 256 is 0
  };
  for (const auto& c : cases) Usage->Script.push_back(Gives(c.sample));
  for (const auto& c : cases) {
    Form1->Timer1->Tick();
    EXPECT_EQ(Form1->ProgressBar1->Position(), c.bar) << c.sample;
    EXPECT_EQ(Form1->Caption(), c.caption) << c.sample;
  }
}

HWND gWatchedWindow = nullptr;
int gCaptionWrites = 0;
LRESULT CALLBACK CountCaptionWrites(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->hwnd == gWatchedWindow && message->message == WM_SETTEXT)
    ++gCaptionWrites;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Meter, AnUnchangedLoadDoesNotRewriteTheCaption) {
  Usage->Script = {Gives(12), Gives(12), Gives(12), Gives(13)};
  gWatchedWindow = Form1->Handle();
  gCaptionWrites = 0;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountCaptionWrites, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  for (int i = 0; i < 3; ++i) Form1->Timer1->Tick();
  EXPECT_EQ(gCaptionWrites, 1);
  Form1->Timer1->Tick();
  EXPECT_EQ(gCaptionWrites, 2);
  UnhookWindowsHookEx(hook);
}

TEST_F(Meter, AFailedTickLeavesBarAndCaptionAndTheNextTickSamplesAgain) {
  Usage->Script = {Gives(40), nullptr, Gives(60)};
  TBoxWatch watch(0);
  Form1->Timer1->Tick();
  Form1->Timer1->Tick();  // raises: the error display opens and is closed by the watch
  EXPECT_EQ(Form1->ProgressBar1->Position(), 40);
  EXPECT_EQ(Form1->Caption(), L"Vimbrel - 40%");
  ASSERT_EQ(TBoxWatch::Texts.size(), 1u);
  EXPECT_EQ(TBoxWatch::Texts[0], L"sampling failed.");
  EXPECT_EQ(TBoxWatch::Captions[0], L"Vimbrel");
  Form1->Timer1->Tick();
  EXPECT_EQ(Form1->Caption(), L"Vimbrel - 60%");
}

TEST_F(Meter, TicksAreHeldBackWhileTheErrorOfAFailedTickIsShown) {
  // A fault on every tick, with the real 500 ms timer running under the open box.
  Form1->Timer1->SetEnabled(true);
  TBoxWatch watch(1600);
  Pump(std::chrono::milliseconds(700));
  EXPECT_EQ(TBoxWatch::MostOpenAtOnce, 1);
  EXPECT_EQ(Usage->Samples, 1u);
  EXPECT_EQ(TBoxWatch::Texts.size(), 1u);
  Form1->Timer1->SetEnabled(false);
}

TEST_F(Meter, TheResetTickDropsTheBaselineAndNothingElse) {
  Usage->Script = {Gives(30)};
  Form1->Timer1->Tick();
  Form1->Timer2->Tick();
  EXPECT_EQ(Usage->Resets, 1);
  EXPECT_EQ(Usage->Samples, 1u);
  EXPECT_EQ(Form1->Caption(), L"Vimbrel - 30%");
}

TEST_F(Meter, ErrorsEndingInJapaneseGetAFullStopInABoxCaptionedWithTheTitle) {
  TBoxWatch watch(0);
  // 失敗しました
  Application->ShowException(
      std::make_exception_ptr(Exception(L"\u5931\u6557\u3057\u307E\u3057\u305F")));
  ASSERT_EQ(TBoxWatch::Texts.size(), 1u);
  EXPECT_EQ(TBoxWatch::Texts[0], L"\u5931\u6557\u3057\u307E\u3057\u305F.");
  EXPECT_EQ(TBoxWatch::Captions[0], L"Vimbrel");
}

}  // namespace
