#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/app/MeterFixture.h"
#include "tests/sampler/SamplerTestSupport.h"

using namespace std::chrono_literals;

namespace {

constexpr std::int64_t kHalfSecond = 5'000'000;
constexpr std::int64_t kHour = 36'000'000'000;
constexpr std::int64_t kIdle = 40'000'000'000;
constexpr std::int64_t kTime = 133'000'000'000'000'000;
constexpr LONG kUnsuccessful = static_cast<LONG>(0xC0000001);

enum class TFault { None, TimeOfDay, Performance };

// One tick of the meter: the kernel's counters at that moment (as offsets from the first
// sample), which query fails, and what the meter then shows.
struct TTick {
  std::int64_t Idle;
  std::int64_t Time;
  TFault Fault;
  int Shown;
};

struct TKernelStory {
  const char* What;
  std::vector<TTick> Ticks;
};

std::vector<TTick> ManyFailingTicks() {
  std::vector<TTick> ticks{{0, 0, TFault::None, 0}, {7'500'000, kHalfSecond, TFault::None, 25}};
  // Had any failed tick moved the baseline, the last one would show another load.
  for (int i = 1; i <= 20; ++i)
    ticks.push_back({7'500'000 + i * 2'500'000, (i + 1) * kHalfSecond,
                     i % 2 ? TFault::TimeOfDay : TFault::Performance, 0});
  ticks.push_back({7'500'000 + 21 * 7'500'000, 22 * kHalfSecond, TFault::None, 25});
  return ticks;
}

using MeterWithAFailingKernel = Meter;

TEST_F(MeterWithAFailingKernel, ShowsNothingForAFailedOrDistortedSampleAndRecoversUnreported) {
  const TKernelStory stories[] = {
      {"a query failing for one tick shows 0 and keeps the baseline",
       {{0, 0, TFault::None, 0},
        {7'500'000, kHalfSecond, TFault::None, 25},
        {10'000'000, 2 * kHalfSecond, TFault::Performance, 0},
        {17'500'000, 3 * kHalfSecond, TFault::None, 50}}},
      {"queries failing for many ticks", ManyFailingTicks()},
      {"the clock set back an hour shows 0 once",
       {{0, 0, TFault::None, 0},
        {7'500'000, kHalfSecond, TFault::None, 25},
        {12'500'000, 2 * kHalfSecond - kHour, TFault::None, 0},
        {20'000'000, 3 * kHalfSecond - kHour, TFault::None, 25}}},
      // The idle time of half a second against an hour of clock: the processors look busy.
      {"the clock set forward an hour shows a full load once",
       {{0, 0, TFault::None, 0},
        {7'500'000, kHalfSecond, TFault::None, 25},
        {12'500'000, 2 * kHalfSecond + kHour, TFault::None, 99},
        {20'000'000, 3 * kHalfSecond + kHour, TFault::None, 25}}},
  };
  TBoxWatch watch(0);
  for (const TKernelStory& story : stories) {
    SCOPED_TRACE(story.What);
    TFakeKernel::Reset();
    TFakeKernel::Processors = 2;
    auto& sampler = Form1->Create<TTestSampler>(&TTestSampler::FakeKernel);
    ASSERT_TRUE(sampler.UsesKernelCounters());
    Form1->CpuUsage1 = &sampler;
    for (std::size_t index = 0; index < story.Ticks.size(); ++index) {
      const TTick& tick = story.Ticks[index];
      TFakeKernel::IdleTime = kIdle + tick.Idle;
      TFakeKernel::SystemTime = kTime + tick.Time;
      TFakeKernel::TimeOfDayStatus = tick.Fault == TFault::TimeOfDay ? kUnsuccessful : 0;
      TFakeKernel::PerformanceStatus = tick.Fault == TFault::Performance ? kUnsuccessful : 0;
      Form1->Timer1->Tick();
      EXPECT_EQ(Form1->ProgressBar1->Position(), tick.Shown) << "tick " << index;
      EXPECT_EQ(Form1->Caption(), L"Vimbrel - " + std::to_wstring(tick.Shown) + L"%")
          << "tick " << index;
    }
  }
  Pump(100ms);
  EXPECT_TRUE(TBoxWatch::Texts.empty()) << "a failing kernel query was reported";
}

TEST_F(Meter, ASamplerFailingOnEveryTickShowsOneBoxAtATimeAndTheMeterRecoversWhenItStops) {
  constexpr std::size_t kFailures = 3;
  Usage->Script.assign(kFailures, nullptr);
  for (int i = 0; i < 3; ++i) Usage->Script.push_back(Gives(42));
  Form1->Timer1->SetEnabled(true);
  // Each box stays long enough for the real 500 ms timer to fire beneath it now and then.
  TBoxWatch watch(700);
  const auto until = std::chrono::steady_clock::now() + 8s;
  while (Usage->Samples < kFailures + 2 && std::chrono::steady_clock::now() < until) Pump(50ms);
  Form1->Timer1->SetEnabled(false);

  EXPECT_EQ(TBoxWatch::MostOpenAtOnce, 1);
  ASSERT_EQ(TBoxWatch::Texts.size(), kFailures);
  for (std::size_t i = 0; i < kFailures; ++i) {
    EXPECT_EQ(TBoxWatch::Texts[i], L"sampling failed.") << i;
    EXPECT_FALSE(TBoxWatch::MeterEnabled[i]) << "the meter took input under box " << i;
  }
  EXPECT_GE(Usage->Samples, kFailures + 2);
  EXPECT_EQ(Form1->ProgressBar1->Position(), 42);
  EXPECT_EQ(Form1->Caption(), L"Vimbrel - 42%");
  EXPECT_TRUE(TBoxWatch::Boxes().empty());
  EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
}

std::string SavedSettings() {
  std::ifstream file(std::filesystem::path(SettingsFile()), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

bool IsLayered(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

// The meter on a system without layered windows, started with translucency stored as on.
class MeterWithoutLayeredWindows : public Meter {
protected:
  void SetUp() override {
    DeleteFileW(SettingsFile().c_str());
    std::ofstream(std::filesystem::path(SettingsFile()), std::ios::binary)
        << "[Vimbrel]\r\nWindow.X=40\r\nWindow.Y=50\r\nAlpha=1\r\nAlphaValue=150\r\n";
    Application->Initialize();
    Application->UseSetLayeredWindowAttributes(nullptr);
    Application->SetTitle("Vimbrel");
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Form1->Timer1->SetEnabled(false);
    Form1->Timer2->SetEnabled(false);
    Form1->Show();
  }
  void TearDown() override { DeleteFileW(SettingsFile().c_str()); }
};

TEST_F(MeterWithoutLayeredWindows, TranslucencyIsRememberedAndSavedButNeverShown) {
  const HWND meter = Form1->Handle();
  EXPECT_TRUE(Form1->AlphaBlend());
  EXPECT_EQ(Form1->AlphaBlendValue(), 150);
  EXPECT_FALSE(IsLayered(meter));

  SendMessageW(meter, WM_SYSCOMMAND, cmOpaque, 0);
  EXPECT_FALSE(Form1->AlphaBlend());
  SendMessageW(meter, WM_SYSCOMMAND, cmTranslucent, 0);
  EXPECT_TRUE(Form1->AlphaBlend());
  Form1->SetAlphaBlendValue(120);
  EXPECT_FALSE(IsLayered(meter));

  TBoxWatch watch(0);
  Form1->FormClose();
  EXPECT_TRUE(TBoxWatch::Texts.empty());
  EXPECT_EQ(SavedSettings(),
            "[Vimbrel]\r\nWindow.X=40\r\nWindow.Y=50\r\nAlpha=1\r\nAlphaValue=120\r\n");
}

TEST_F(Meter, AWindowWithoutAWindowMenuIsSetUpWithoutAComplaintAndRunsOn) {
  const HWND meter = Form1->Handle();
  // Without the style the system makes no new menu once the old one is given up.
  const LONG style = GetWindowLongW(meter, GWL_STYLE);
  SetWindowLongW(meter, GWL_STYLE, style & ~WS_SYSMENU);
  GetSystemMenu(meter, TRUE);
  ASSERT_EQ(GetSystemMenu(meter, FALSE), nullptr);

  TBoxWatch watch(0);
  EXPECT_NO_THROW(Form1->FormCreate());
  SetWindowLongW(meter, GWL_STYLE, style);
  Pump(100ms);
  EXPECT_TRUE(TBoxWatch::Texts.empty());

  Usage->Script = {Gives(64)};
  Form1->Timer1->Tick();
  EXPECT_EQ(Form1->Caption(), L"Vimbrel - 64%");
  SendMessageW(meter, WM_SYSCOMMAND, cmTranslucent, 0);
  EXPECT_TRUE(Form1->AlphaBlend());
  EXPECT_TRUE(IsLayered(meter));
  EXPECT_TRUE(TBoxWatch::Texts.empty());
}

}  // namespace
