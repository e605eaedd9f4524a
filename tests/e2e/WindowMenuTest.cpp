#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "app/Maker.h"
#include "tests/e2e/MeterProcess.h"

using namespace std::chrono_literals;

namespace {

// The maker's texts are plain ASCII, the same bytes in every code page.
std::wstring Widened(const char* ascii) {
  return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

const wchar_t kOpacityCaption[] = L"\u6FC3\u3055\u8ABF\u7BC0";                  // 濃さ調節
const wchar_t kAboutCaption[] = L"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831";  // バージョン情報

HWND Slider(HWND opacityWindow) {
  return FindWindowExW(opacityWindow, nullptr, L"ScrollBar", nullptr);
}

int SliderPosition(HWND opacityWindow) {
  return static_cast<int>(SendWithin(Slider(opacityWindow), SBM_GETPOS, 0, 0));
}

// Opens the opacity window the way the window menu does; null when it did not show.
HWND OpenOpacityWindow(const TMeterProcess& meter) {
  meter.PostCommand(5);
  return meter.WaitForWindowOfClass(L"TForm2", 3s);
}

bool CloseOpacityWindow(const TMeterProcess& meter, HWND opacityWindow) {
  PostMessageW(opacityWindow, WM_CLOSE, 0, 0);
  return WaitUntil(
      [&] { return !IsWindowVisible(opacityWindow) && IsWindowEnabled(meter.Meter()); }, 3s);
}

struct TTranslucencyStep {
  WPARAM Command;
  bool Layered;
};

TEST(WindowMenu, TranslucencyOnAndOffSwitchTheLayeredWindowAndRepeatingOneChangesNothing) {
  TMeterProcess meter;
  meter.Start();
  const TTranslucencyStep steps[] = {{3, true}, {3, true}, {4, false}, {4, false}, {3, true}};
  for (const TTranslucencyStep& step : steps) {
    SCOPED_TRACE(testing::Message() << "command " << step.Command);
    const LONG before = GetWindowLongW(meter.Meter(), GWL_EXSTYLE);
    SendWithin(meter.Meter(), WM_SYSCOMMAND, step.Command, 0);
    const LONG after = GetWindowLongW(meter.Meter(), GWL_EXSTYLE);
    EXPECT_EQ(after, step.Layered ? (before | WS_EX_LAYERED) : (before & ~WS_EX_LAYERED));
    if (step.Layered) {
      EXPECT_EQ(LayeredAlpha(meter.Meter()), 200);
    }
  }
  EXPECT_TRUE(meter.Running());
}

TEST(OpacityWindow, OpensCentredAndModalWhileTheMeterKeepsTicking) {
  TMeterProcess meter;
  meter.Start();
  HWND opacity = OpenOpacityWindow(meter);
  ASSERT_NE(opacity, nullptr);
  EXPECT_EQ(meter.Caption(opacity), kOpacityCaption);
  const RECT rect = WindowRect(opacity);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  EXPECT_EQ(rect.left, std::max(0, (GetSystemMetrics(SM_CXSCREEN) - width) / 2));
  EXPECT_EQ(rect.top, std::max(0, (GetSystemMetrics(SM_CYSCREEN) - height) / 2));
  EXPECT_EQ(SliderPosition(opacity), 200);
  EXPECT_FALSE(Layered(meter.Meter())) << "opening it leaves translucency as it was";

  EXPECT_FALSE(IsWindowEnabled(meter.Meter()));
  {
    TSwingingLoad load;
    EXPECT_TRUE(meter.WaitForCaptionChange(5s)) << "the meter stopped ticking";
  }

  EXPECT_TRUE(CloseOpacityWindow(meter, opacity));
  EXPECT_TRUE(IsWindow(opacity)) << "closing only hides it";
  EXPECT_TRUE(meter.Running());
}

struct TSliderInput {
  const char* Name;
  WORD Code;
  WORD Thumb;  // for the thumb's codes
  int Position;
};

// From 200, one input after another; every result shows at once as the meter's alpha.
const TSliderInput kSliderInputs[] = {
    {"LineLeft", SB_LINELEFT, 0, 199},
    {"PageRight", SB_PAGERIGHT, 0, 200},
    {"PageLeft", SB_PAGELEFT, 0, 199},
    {"LineRight", SB_LINERIGHT, 0, 200},
    {"Home", SB_LEFT, 0, 5},
    {"LineLeftAtTheBottom", SB_LINELEFT, 0, 5},
    {"PageLeftAtTheBottom", SB_PAGELEFT, 0, 5},
    {"End", SB_RIGHT, 0, 255},
    {"LineRightAtTheTop", SB_LINERIGHT, 0, 255},
    {"ThumbTrack", SB_THUMBTRACK, 120, 120},
    {"ThumbTrackFurther", SB_THUMBTRACK, 6, 6},
    {"ThumbReleased", SB_THUMBPOSITION, 6, 6},
    {"EndScroll", SB_ENDSCROLL, 0, 6},
};

TEST(OpacityWindow, TheSliderChangesTheMetersOpacityLive) {
  TMeterProcess meter;
  meter.Start();
  SendWithin(meter.Meter(), WM_SYSCOMMAND, 3, 0);
  HWND opacity = OpenOpacityWindow(meter);
  ASSERT_NE(opacity, nullptr);
  HWND slider = Slider(opacity);
  ASSERT_NE(slider, nullptr);
  for (const TSliderInput& input : kSliderInputs) {
    SCOPED_TRACE(input.Name);
    SendWithin(opacity, WM_HSCROLL, MAKEWPARAM(input.Code, input.Thumb),
               reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(SliderPosition(opacity), input.Position);
    EXPECT_EQ(LayeredAlpha(meter.Meter()), input.Position);
  }
  EXPECT_TRUE(CloseOpacityWindow(meter, opacity));
  EXPECT_EQ(LayeredAlpha(meter.Meter()), 6) << "closing keeps the last value";
}

TEST(OpacityWindow, AValueSetWhileOpaqueShowsOnceTranslucencyIsTurnedOn) {
  TMeterProcess meter;
  meter.Start();
  HWND opacity = OpenOpacityWindow(meter);
  ASSERT_NE(opacity, nullptr);
  SendWithin(opacity, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90),
             reinterpret_cast<LPARAM>(Slider(opacity)));
  EXPECT_EQ(SliderPosition(opacity), 90);
  EXPECT_FALSE(Layered(meter.Meter()));
  ASSERT_TRUE(CloseOpacityWindow(meter, opacity));

  SendWithin(meter.Meter(), WM_SYSCOMMAND, 3, 0);
  EXPECT_EQ(LayeredAlpha(meter.Meter()), 90);
}

TEST(OpacityWindow, ReopensWhereItWasMovedToNotCentred) {
  TMeterProcess meter;
  meter.Start();
  HWND opacity = OpenOpacityWindow(meter);
  ASSERT_NE(opacity, nullptr);
  const POINT moved{40, 50};
  MoveWindowTo(opacity, moved);
  ASSERT_TRUE(CloseOpacityWindow(meter, opacity));

  ASSERT_EQ(OpenOpacityWindow(meter), opacity);
  const RECT rect = WindowRect(opacity);
  EXPECT_EQ(rect.left, moved.x);
  EXPECT_EQ(rect.top, moved.y);
  EXPECT_FALSE(IsWindowEnabled(meter.Meter()));
  EXPECT_TRUE(CloseOpacityWindow(meter, opacity));
}

TEST(OpacityWindow, AStoredOpacityBelowFiveIsRaisedToFiveWhenTheWindowFirstOpens) {
  TMeterProcess meter;
  meter.WriteSettings("[Vimbrel]\r\nWindow.X=60\r\nWindow.Y=70\r\nAlpha=1\r\nAlphaValue=3\r\n");
  meter.Start();
  EXPECT_EQ(LayeredAlpha(meter.Meter()), 3);

  HWND opacity = OpenOpacityWindow(meter);
  ASSERT_NE(opacity, nullptr);
  EXPECT_EQ(SliderPosition(opacity), 5);
  EXPECT_EQ(LayeredAlpha(meter.Meter()), 5);
  ASSERT_TRUE(CloseOpacityWindow(meter, opacity));

  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  ASSERT_EQ(meter.WaitForExit(5s), 0u);
  EXPECT_NE(meter.ReadSettings().find("AlphaValue=5\r\n"), std::string::npos)
      << meter.ReadSettings();
}

TEST(AboutBox, NamesTheVersionAndTheMakerWhileTheMeterIsDisabledAndTicks) {
  TMeterProcess meter;
  meter.Start();
  meter.PostCommand(1);
  HWND box = meter.WaitForWindowOfClass(L"#32770", 3s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(meter.Caption(box), kAboutCaption);
  EXPECT_EQ(TMeterProcess::MessageBoxText(box), L"Vimbrel v.1.27\n\n" + Widened(kMakerLine));
  EXPECT_EQ(GetWindow(box, GW_OWNER), GetWindow(meter.Meter(), GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(meter.Meter()));
  {
    TSwingingLoad load;
    EXPECT_TRUE(meter.WaitForCaptionChange(5s)) << "the meter stopped ticking";
  }

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(meter.Meter()); }, 3s));
  EXPECT_TRUE(meter.Running());
}

struct TBarClick {
  const char* Name;
  UINT Message;
  WPARAM Keys;
  bool OpensMenu;
};

void PrintTo(const TBarClick& click, std::ostream* out) {
  *out << click.Name;
}

class BarClick : public testing::TestWithParam<TBarClick> {};

// The menu opens where the cursor is, not where the message says the click was.
TEST_P(BarClick, OpensTheWindowMenuAtTheCursorOnlyWithTheRightButtonHeld) {
  const TBarClick& click = GetParam();
  TMeterProcess meter;
  meter.Start();
  MoveWindowTo(meter.Meter(), {200, 150});
  const RECT bar = WindowRect(meter.Bar());
  const POINT cursor{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
  ASSERT_TRUE(SetCursorPos(cursor.x, cursor.y));

  PostMessageW(meter.Bar(), click.Message, click.Keys, MAKELPARAM(1, 1));
  // Handled in turn after the click, even inside the menu's own loop.
  meter.PostCommand(3);
  ASSERT_TRUE(WaitUntil([&] { return Layered(meter.Meter()); }, 3s));

  HWND menu = meter.VisibleWindowOfClass(L"#32768");
  if (!click.OpensMenu) {
    EXPECT_EQ(menu, nullptr);
    return;
  }
  ASSERT_NE(menu, nullptr);
  const RECT rect = WindowRect(menu);
  EXPECT_NEAR(rect.left, cursor.x, 3);
  EXPECT_NEAR(rect.top, cursor.y, 3);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !meter.VisibleWindowOfClass(L"#32768"); }, 3s));
  EXPECT_TRUE(meter.Running());
}

INSTANTIATE_TEST_SUITE_P(Cases, BarClick,
                         testing::Values(TBarClick{"Right", WM_RBUTTONDOWN, MK_RBUTTON, true},
                                         TBarClick{"LeftWhileRightIsHeld", WM_LBUTTONDOWN,
                                                   MK_LBUTTON | MK_RBUTTON, true},
                                         TBarClick{"Left", WM_LBUTTONDOWN, MK_LBUTTON, false},
                                         TBarClick{"Middle", WM_MBUTTONDOWN, MK_MBUTTON, false},
                                         TBarClick{"RightWithShift", WM_RBUTTONDOWN,
                                                   MK_RBUTTON | MK_SHIFT, true}));

// Points the system's handler for https addresses at a recorder of ours while it lives.
class THttpsHandler {
public:
  explicit THttpsHandler(const std::wstring& command) {
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &FKey, nullptr) != ERROR_SUCCESS)
      throw std::runtime_error("cannot open the https handler's key");
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(FKey, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
      std::wstring value(size / sizeof(wchar_t), L'\0');
      RegQueryValueExW(FKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size);
      value.resize(size / sizeof(wchar_t));
      // The stored size counts the terminating null, which Set adds again.
      while (!value.empty() && value.back() == L'\0') value.pop_back();
      FOld = value;
      FOldType = type;
    }
    Set(REG_SZ, command);
  }
  THttpsHandler(const THttpsHandler&) = delete;
  THttpsHandler& operator=(const THttpsHandler&) = delete;
  ~THttpsHandler() {
    if (FOld)
      Set(FOldType, *FOld);
    else
      RegDeleteValueW(FKey, nullptr);
    RegCloseKey(FKey);
  }

private:
  static constexpr wchar_t kKey[] = L"https\\shell\\open\\command";

  void Set(DWORD type, const std::wstring& value) {
    RegSetValueExW(FKey, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  }

  HKEY FKey = nullptr;
  std::optional<std::wstring> FOld;
  DWORD FOldType = REG_SZ;
};

std::wstring ReadWideFile(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring content(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
  DWORD read = 0;
  ReadFile(file, content.data(), static_cast<DWORD>(content.size() * sizeof(wchar_t)), &read,
           nullptr);
  CloseHandle(file);
  content.resize(read / sizeof(wchar_t));
  return content;
}

TEST(SupportPage, IsHandedToTheShellWithTheHiddenShowCommand) {
  TMeterProcess meter;
  const std::wstring recorder = meter.Folder() + L"\\record_launch.exe";
  ASSERT_TRUE(CopyFileW((BuildFolder() + L"record_launch.exe").c_str(), recorder.c_str(), FALSE));
  const std::wstring record = meter.Folder() + L"\\record_launch.txt";
  THttpsHandler handler(L"\"" + recorder + L"\" \"%1\"");
  meter.Start();
  meter.PostCommand(2);
  ASSERT_TRUE(
      WaitUntil([&] { return GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, 5s))
      << "the browser was not started";

  const std::wstring launch = ReadWideFile(record);
  const std::size_t lineEnd = launch.find(L'\n');
  ASSERT_NE(lineEnd, std::wstring::npos) << launch;
  EXPECT_EQ(launch.substr(0, lineEnd), L"1 0") << "STARTF_USESHOWWINDOW with SW_HIDE";
  const std::wstring address = L"\"" + Widened(kSupportPage) + L"\"";
  const std::wstring commandLine = launch.substr(lineEnd + 1);
  ASSERT_GE(commandLine.size(), address.size());
  EXPECT_EQ(commandLine.substr(commandLine.size() - address.size()), address) << commandLine;
  EXPECT_TRUE(meter.Running());
  EXPECT_EQ(meter.VisibleWindows().size(), 1u) << "nothing of the program's but the meter shows";
}

}  // namespace
