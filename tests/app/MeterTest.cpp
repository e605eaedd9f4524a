#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/app/MeterFixture.h"

namespace {

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
