#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/e2e/MeterProcess.h"

using namespace std::chrono_literals;

namespace {

// The height of a line of the meter's font, measured by a fresh process.
int MeasuredTextHeight() {
  std::wstring commandLine = L"\"" + BuildFolder() + L"text_height.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return -1;
  WaitForSingleObject(process.hProcess, 10000);
  DWORD height = 0;
  GetExitCodeProcess(process.hProcess, &height);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return static_cast<int>(height);
}

SIZE ExpectedClientSize(int textHeight) {
  if (textHeight == 12) return {141, 11};
  return {MulDiv(141, textHeight, 12), MulDiv(11, textHeight, 12)};
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

// Keeps one processor busy for as long as it lives.
class TBusyCore {
public:
  TBusyCore()
      : FThread([this] {
          while (!FStop) {
          }
        }) {}
  ~TBusyCore() {
    FStop = true;
    FThread.join();
  }

private:
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

TEST(MeterWindow, StartsAsOneTopmostToolWindowWithOnlyACloseBox) {
  TMeterProcess meter;
  meter.Start();
  EXPECT_EQ(meter.VisibleWindows().size(), 1u);

  const LONG style = GetWindowLongW(meter.Meter(), GWL_STYLE);
  const LONG exStyle = GetWindowLongW(meter.Meter(), GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_FALSE(exStyle & WS_EX_LAYERED);
  EXPECT_EQ(meter.MeterCaption().rfind(L"Vimbrel", 0), 0u);
}

TEST(MeterWindow, HasNoTaskbarButtonOrTaskSwitcherEntry) {
  TMeterProcess meter;
  meter.Start();
  // Owned by a hidden tool window titled after the program: neither shows in the taskbar.
  HWND owner = GetWindow(meter.Meter(), GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_TRUE(GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(meter.Caption(owner), L"Vimbrel");
}

TEST(MeterWindow, ClientAreaFollowsTheMeasuredTextHeight) {
  const int textHeight = MeasuredTextHeight();
  ASSERT_GT(textHeight, 0);
  TMeterProcess meter;
  meter.Start();
  const SIZE expected = ExpectedClientSize(textHeight);
  const SIZE client = ClientSize(meter.Meter());
  EXPECT_EQ(client.cx, expected.cx) << "text height " << textHeight;
  EXPECT_EQ(client.cy, expected.cy) << "text height " << textHeight;
  // The bar fills the whole client area.
  RECT bar{};
  GetWindowRect(meter.Bar(), &bar);
  EXPECT_EQ(bar.right - bar.left, client.cx);
  EXPECT_EQ(bar.bottom - bar.top, client.cy);
}

// Sets the dots per inch that programs started from now on see, and puts it back after.
class TScreenDpi {
public:
  explicit TScreenDpi(DWORD dpi) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                    KEY_READ | KEY_WRITE, nullptr, &FKey, nullptr);
    DWORD size = sizeof FOld;
    FHadOld = RegQueryValueExW(FKey, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&FOld),
                               &size) == ERROR_SUCCESS;
    RegSetValueExW(FKey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  TScreenDpi(const TScreenDpi&) = delete;
  TScreenDpi& operator=(const TScreenDpi&) = delete;
  ~TScreenDpi() {
    if (FHadOld) {
      RegSetValueExW(FKey, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&FOld),
                     sizeof FOld);
    } else {
      RegDeleteValueW(FKey, L"LogPixels");
    }
    RegCloseKey(FKey);
  }

private:
  HKEY FKey = nullptr;
  DWORD FOld = 0;
  bool FHadOld = false;
};

TEST(MeterWindow, ComesUpProportionallyLargerAtAHigherDpi) {
  const SIZE normal = ExpectedClientSize(MeasuredTextHeight());
  TScreenDpi dpi(144);
  const int textHeight = MeasuredTextHeight();
  ASSERT_GT(textHeight, 0);
  TMeterProcess meter;
  meter.Start();
  const SIZE client = ClientSize(meter.Meter());
  EXPECT_EQ(client.cx, MulDiv(141, textHeight, 12)) << "text height " << textHeight;
  EXPECT_EQ(client.cy, MulDiv(11, textHeight, 12)) << "text height " << textHeight;
  EXPECT_GT(client.cx, normal.cx);
  EXPECT_GT(client.cy, normal.cy);
}

TEST(MeterWindow, FirstTickShowsZeroThenTheLoadThatTheBarShows) {
  TMeterProcess meter;
  meter.Start();
  ASSERT_TRUE(WaitUntil([&] { return meter.MeterCaption() != L"Vimbrel"; }, 3s));
  EXPECT_EQ(meter.MeterCaption(), L"Vimbrel - 0%");
  EXPECT_EQ(meter.BarPosition(), 0);

  TBusyCore busy;
  ASSERT_TRUE(WaitUntil([&] { return meter.BarPosition() > 0; }, 3s));
  // Read while no tick falls between the two readings.
  int position = -1;
  std::wstring caption;
  ASSERT_TRUE(WaitUntil(
      [&] {
        position = meter.BarPosition();
        caption = meter.MeterCaption();
        return position == meter.BarPosition();
      },
      2s));
  EXPECT_GE(position, 1);
  EXPECT_LE(position, 100);
  EXPECT_EQ(caption, L"Vimbrel - " + std::to_wstring(position) + L"%");
}

TEST(MeterWindow, ClosingEndsTheProgramWithExitCodeZero) {
  TMeterProcess meter;
  meter.Start();
  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  EXPECT_EQ(meter.WaitForExit(5s), 0u);
}

}  // namespace
