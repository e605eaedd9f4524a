#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/MeterProcess.h"

using namespace std::chrono_literals;

namespace {

// The file's lines without their line ends; a last line end starts no further line.
std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> ExpectedLines(POINT place, bool translucent, int opacity) {
  return {"[Vimbrel]", "Window.X=" + std::to_string(place.x), "Window.Y=" + std::to_string(place.y),
          translucent ? "Alpha=1" : "Alpha=0", "AlphaValue=" + std::to_string(opacity)};
}

// "<path> に書き込めません." as the error display shows it.
std::wstring CannotWriteMessage(const std::wstring& path) {
  return path + L" \u306B\u66F8\u304D\u8FBC\u3081\u307E\u305B\u3093.";
}

TEST(Settings, FirstRunComesUpWhereTheSystemPutsItAndClosingWritesTheFourKeysInOrder) {
  TMeterProcess meter;
  const POINT systemPlace{123, 77};
  meter.SetStartupPosition(systemPlace);
  meter.Start();
  const RECT rect = WindowRect(meter.Meter());
  EXPECT_EQ(rect.left, systemPlace.x);
  EXPECT_EQ(rect.top, systemPlace.y);
  EXPECT_FALSE(Layered(meter.Meter()));
  EXPECT_EQ(meter.ReadSettings(), "") << "nothing is written before the close";

  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  ASSERT_EQ(meter.WaitForExit(5s), 0u);
  EXPECT_EQ(Lines(meter.ReadSettings()), ExpectedLines({rect.left, rect.top}, false, 200));
}

std::string SettingsFile(const std::string& x, const std::string& y, const std::string& alpha,
                         const std::string& alphaValue) {
  return "[Vimbrel]\r\nWindow.X=" + x + "\r\nWindow.Y=" + y + "\r\nAlpha=" + alpha +
         "\r\nAlphaValue=" + alphaValue + "\r\n";
}

// What the file says, and how the window comes up from it.
struct TStoredCase {
  const char* Name;
  const char* X;
  const char* Y;
  const char* Alpha;
  const char* AlphaValue;
  POINT Place;
  bool Translucent;
  int Opacity;
};

void PrintTo(const TStoredCase& stored, std::ostream* out) {
  *out << stored.Name;
}

class StoredSettings : public testing::TestWithParam<TStoredCase> {};

TEST_P(StoredSettings, ComeBackAtStart) {
  const TStoredCase& stored = GetParam();
  TMeterProcess meter;
  meter.WriteSettings(SettingsFile(stored.X, stored.Y, stored.Alpha, stored.AlphaValue));
  meter.Start();
  const RECT rect = WindowRect(meter.Meter());
  EXPECT_EQ(rect.left, stored.Place.x);
  EXPECT_EQ(rect.top, stored.Place.y);
  EXPECT_EQ(Layered(meter.Meter()), stored.Translucent);
  if (!stored.Translucent) {
    // The opacity was loaded all the same: translucency on shows it.
    SendWithin(meter.Meter(), WM_SYSCOMMAND, 3, 0);
  }
  EXPECT_EQ(LayeredAlpha(meter.Meter()), stored.Opacity);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, StoredSettings, testing::Values(
    TStoredCase{"PlaceAndLooks",                     "300",   "200",   "1",   "150",   {300, 200},     true,  150},
    TStoredCase{"FarOffEveryScreen",                 "-5000", "30000", "1",   "150",   {-5000, 30000}, true,  150},
    TStoredCase{"AnyNonZeroAlphaIsOn",               "40",    "50",    "2",   "150",   {40, 50},       true,  150},
    TStoredCase{"AlphaThatIsNoNumberIsOff",          "40",    "50",    "yes", "150",   {40, 50},       false, 150},
    TStoredCase{"OpacityAboveTheRangeIsTheDefault",  "40",    "50",    "1",   "256",   {40, 50},       true,  200},
    TStoredCase{"OpacityBelowTheRangeIsTheDefault",  "40",    "50",    "1",   "-1",    {40, 50},       true,  200},
    TStoredCase{"HighestOpacityIsKept",              "40",    "50",    "1",   "255",   {40, 50},       true,  255},
    TStoredCase{"OpacityBelowTheSlidersRangeIsKept", "40",    "50",    "1",   "3",     {40, 50},       true,  3},
    TStoredCase{"UnreadableOpacityIsTheDefault",     "40",    "50",    "0",   "dense", {40, 50},       false, 200}));
// clang-format on

TEST(Settings, AMovedWindowIsStoredAtCloseAndTheNextRunComesBackThere) {
  const POINT moved{345, 123};
  std::string stored;
  {
    TMeterProcess first;
    first.Start();
    MoveWindowTo(first.Meter(), moved);
    PostMessageW(first.Meter(), WM_CLOSE, 0, 0);
    ASSERT_EQ(first.WaitForExit(5s), 0u);
    stored = first.ReadSettings();
    EXPECT_EQ(Lines(stored), ExpectedLines(moved, false, 200));
  }
  TMeterProcess second;
  second.WriteSettings(stored);
  second.Start();
  const RECT rect = WindowRect(second.Meter());
  EXPECT_EQ(rect.left, moved.x);
  EXPECT_EQ(rect.top, moved.y);
}

TEST(Settings, AnUnwritableFileIsReportedTheMeterRunsOnAndALaterCloseSavesEverything) {
  TMeterProcess meter;
  // Root writes through any file mode; a folder in the file's place stops the write.
  ASSERT_TRUE(CreateDirectoryW(meter.SettingsPath().c_str(), nullptr));
  meter.Start();
  const RECT rect = WindowRect(meter.Meter());
  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);

  HWND box = meter.WaitForWindowOfClass(L"#32770", 5s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(meter.Caption(box), L"Vimbrel");
  EXPECT_EQ(TMeterProcess::MessageBoxText(box), CannotWriteMessage(meter.SettingsPath()));
  EXPECT_EQ(GetWindow(box, GW_OWNER), GetWindow(meter.Meter(), GW_OWNER));
  EXPECT_TRUE(meter.Running());
  EXPECT_TRUE(IsWindowVisible(meter.Meter()));
  {
    TSwingingLoad load;
    EXPECT_TRUE(meter.WaitForCaptionChange(5s)) << "the meter stopped ticking";
  }

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3s));
  EXPECT_TRUE(meter.Running());
  EXPECT_TRUE(IsWindowEnabled(meter.Meter()));

  ASSERT_TRUE(RemoveDirectoryW(meter.SettingsPath().c_str()));
  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  ASSERT_EQ(meter.WaitForExit(5s), 0u);
  EXPECT_EQ(Lines(meter.ReadSettings()), ExpectedLines({rect.left, rect.top}, false, 200));
}

struct TEndSessionCase {
  const char* Name;
  WPARAM Ending;    // WM_ENDSESSION's wParam: whether the session really ends
  bool OwnerFirst;  // the hidden window told before the meter, against the usual z order
};

void PrintTo(const TEndSessionCase& session, std::ostream* out) {
  *out << session.Name;
}

class EndOfSession : public testing::TestWithParam<TEndSessionCase> {};

// As Windows does it: every top-level window of the program, front to back, is asked and then
// told; the meter, owned by the hidden window, comes before it.
void EndSession(const TMeterProcess& meter, WPARAM ending, bool ownerFirst = false) {
  std::vector<HWND> windows = meter.TopLevelWindows();
  ASSERT_GE(windows.size(), 2u);
  const auto owner = std::find(windows.begin(), windows.end(), GetWindow(meter.Meter(), GW_OWNER));
  ASSERT_NE(owner, windows.end());
  if (ownerFirst) std::rotate(windows.begin(), owner, owner + 1);
  for (HWND window : windows)
    EXPECT_EQ(SendWithin(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  // The meter must answer at once (a window that does not gives -1); once the hidden window
  // has been told, the program may be gone before the windows after it are.
  for (HWND window : windows) {
    const LRESULT answer = SendWithin(window, WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
    if (window == meter.Meter() && !ownerFirst) {
      EXPECT_EQ(answer, 0);
    }
  }
}

TEST_P(EndOfSession, SavesTheSettingsOnlyWhenTheSessionReallyEnds) {
  const TEndSessionCase& session = GetParam();
  const std::string before = SettingsFile("10", "20", "0", "77");
  TMeterProcess meter;
  meter.WriteSettings(before);
  meter.Start();
  const POINT moved{222, 111};
  SendWithin(meter.Meter(), WM_SYSCOMMAND, 3, 0);
  MoveWindowTo(meter.Meter(), moved);

  EndSession(meter, session.Ending, session.OwnerFirst);

  EXPECT_EQ(meter.VisibleWindowOfClass(L"#32770"), nullptr) << "no box while the session ends";
  if (session.Ending) {
    EXPECT_EQ(Lines(meter.ReadSettings()), ExpectedLines(moved, true, 77));
    EXPECT_EQ(meter.WaitForExit(5s), 0u);
  } else {
    EXPECT_EQ(meter.ReadSettings(), before);
    EXPECT_TRUE(meter.Running());
    EXPECT_TRUE(IsWindowVisible(meter.Meter()));
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EndOfSession,
                         testing::Values(TEndSessionCase{"Ends", TRUE, false},
                                         TEndSessionCase{"EndsTellingTheOwnerFirst", TRUE, true},
                                         TEndSessionCase{"IsCancelled", FALSE, false}));

// Nothing may hold the end of the session up, not even a save that fails.
TEST(Settings, ASaveThatFailsAtTheEndOfTheSessionShowsNoBox) {
  TMeterProcess meter;
  ASSERT_TRUE(CreateDirectoryW(meter.SettingsPath().c_str(), nullptr));
  meter.Start();
  EndSession(meter, TRUE);
  EXPECT_EQ(meter.VisibleWindowOfClass(L"#32770"), nullptr);
  EXPECT_EQ(meter.WaitForExit(5s), 0u);
}

}  // namespace
