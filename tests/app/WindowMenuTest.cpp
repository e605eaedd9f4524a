#include <windows.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Maker.h"
#include "framework/Text.h"
#include "tests/app/MeterFixture.h"

namespace {

struct TItem {
  UINT id;
  bool separator;
  std::wstring text;
  UINT state = 0;
};

std::vector<TItem> MenuItems(HMENU menu) {
  std::vector<TItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    items.push_back({info.wID, (info.fType & MFT_SEPARATOR) != 0, text, info.fState});
  }
  return items;
}

using WindowMenu = Meter;

TEST_F(WindowMenu, OurItemsFollowTheStandardOnesWithTheirExactTexts) {
  const std::vector<TItem> items = MenuItems(GetSystemMenu(Form1->Handle(), FALSE));
  ASSERT_GT(items.size(), 7u);
  // The bytes the program stores, Shift-JIS, as they must read on any system.
  const TItem expected[] = {
      {0, true, L""},
      {1, false,
       FromShiftJis("Vimbrel\x82\xCC\x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93\x8F\xEE\x95\xF1")},
      {2, false, FromShiftJis("\x83\x54\x83\x7C\x81\x5B\x83\x67\x83\x79\x81\x5B\x83\x57\x82\xD6")},
      {0, true, L""},
      {3, false, FromShiftJis("2000/XP - \x94\xBC\x93\xA7\x96\xBE\x82\xC9\x82\xB7\x82\xE9")},
      {4, false, FromShiftJis("               \x94\xBC\x93\xA7\x96\xBE\x89\xBB\x89\xF0\x8F\x9C")},
      {5, false, FromShiftJis("               \x93\xA7\x96\xBE\x93\x78\x95\xCF\x8D\x58")},
  };
  const std::size_t first = items.size() - 7;
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(items[first + i].id, expected[i].id) << i;
    EXPECT_EQ(items[first + i].separator, expected[i].separator) << i;
    EXPECT_EQ(items[first + i].text, expected[i].text) << i;
    // The system greys separators; our commands are all enabled and unchecked.
    if (!expected[i].separator) {
      EXPECT_FALSE(items[first + i].state & (MFS_CHECKED | MFS_GRAYED | MFS_DISABLED)) << i;
    }
  }
  // Close stays where the system put it, before ours.
  bool closeBefore = false;
  for (std::size_t i = 0; i < first; ++i) closeBefore |= items[i].id == SC_CLOSE;
  EXPECT_TRUE(closeBefore);
}

TEST_F(WindowMenu, TranslucencyCommandsSwitchTheLayeredWindowAtTheCurrentOpacity) {
  const HWND meter = Form1->Handle();
  const auto layered = [&] { return (GetWindowLongW(meter, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; };
  const auto alpha = [&] {
    BYTE value = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(meter, nullptr, &value, &flags);
    return value;
  };
  const struct {
    WPARAM command;
    std::uint8_t opacityBefore;
    bool flag;
    bool layered;
    BYTE alpha;
  } cases[] = {
      {cmTranslucent, 200, true, true, 200},
      {cmTranslucent, 200, true, true, 200},  // twice: one layered window all the same
      {cmOpaque, 200, false, false, 0},
      {cmOpaque, 200, false, false, 0},
      {cmOpaque, 120, false, false, 0},  // stored, not shown
      {cmTranslucent, 120, true, true, 120},
      {0x13, 120, true, true, 120},     // no command of ours: the low bits are not masked
      {0x10003, 120, true, true, 120},  // nor are the high ones
  };
  for (const auto& c : cases) {
    Form1->SetAlphaBlendValue(c.opacityBefore);
    SendMessageW(meter, WM_SYSCOMMAND, c.command, 0);
    EXPECT_EQ(Form1->AlphaBlend(), c.flag) << c.command;
    EXPECT_EQ(layered(), c.layered) << c.command;
    if (c.layered) {
      EXPECT_EQ(alpha(), c.alpha) << c.command;
    }
  }
}

TEST_F(WindowMenu, EveryCommandAlsoReachesTheSystemsOwnHandling) {
  // 0xF063 is Close to the system, which ignores the low four bits of its commands.
  PostMessageW(Form1->Handle(), WM_SYSCOMMAND, SC_CLOSE | 3, 0);
  Pump(std::chrono::milliseconds(200));
  EXPECT_TRUE(Application->Terminated());
}

TEST_F(WindowMenu, AboutBoxIsModalAndTheMeterKeepsTicking) {
  for (int i = 0; i < 40; ++i) Usage->Script.push_back(Gives(i));
  Form1->Timer1->SetInterval(50);
  Form1->Timer1->SetEnabled(true);
  TBoxWatch watch(400);
  SendMessageW(Form1->Handle(), WM_SYSCOMMAND, cmAbout, 0);  // returns once the box is closed
  Form1->Timer1->SetEnabled(false);
  ASSERT_EQ(TBoxWatch::Texts.size(), 1u);
  EXPECT_EQ(TBoxWatch::Texts[0], L"Vimbrel v.1.27\n\n" + FromShiftJis(kMakerLine));
  EXPECT_EQ(TBoxWatch::Captions[0], L"\u30D0\u30FC\u30B8\u30E7\u30F3\u60C5\u5831");
  EXPECT_FALSE(TBoxWatch::MeterEnabled[0]);
  EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
  EXPECT_GE(Usage->Samples, 4u);
}

TEST_F(WindowMenu, OpacityCommandShowsTheOpacityWindowModally) {
  bool meterEnabledMeanwhile = true;
  bool opacityVisibleMeanwhile = false;
  TModalScript script({
      [&] {
        meterEnabledMeanwhile = IsWindowEnabled(Form1->Handle()) != FALSE;
        opacityVisibleMeanwhile = Form2->Visible();
      },
      [&] { PostMessageW(Form2->Handle(), WM_CLOSE, 0, 0); },
  });
  SendMessageW(Form1->Handle(), WM_SYSCOMMAND, cmOpacity, 0);
  EXPECT_TRUE(TModalScript::Finished());
  EXPECT_TRUE(opacityVisibleMeanwhile);
  EXPECT_FALSE(meterEnabledMeanwhile);
  EXPECT_FALSE(Form2->Visible());
  EXPECT_TRUE(IsWindowEnabled(Form1->Handle()));
}

TEST(WindowMenuPoint, ScreenPointsArePackedAsTwoSixteenBitHalves) {
  const POINT points[] = {{0, 0}, {1919, 1079}, {-10, 20}, {30, -40}, {-1, -1}, {-32768, 32767}};
  for (const POINT& point : points) {
    const LPARAM packed = PackScreenPoint(point);
    EXPECT_EQ(GET_X_LPARAM(packed), point.x);
    EXPECT_EQ(GET_Y_LPARAM(packed), point.y);
  }
  EXPECT_EQ(static_cast<DWORD>(PackScreenPoint({-10, -20})), 0xFFECFFF6u);
}

BOOL CALLBACK FindMenu(HWND window, LPARAM result) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32768" && IsWindowVisible(window))
    *reinterpret_cast<HWND*>(result) = window;
  return TRUE;
}

HWND OpenMenu() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(WindowMenu, TheRightButtonHeldOpensTheMenuAtTheCursor) {
  const struct {
    std::uint8_t held;
    bool opens;
  } cases[] = {
      {ssRight, true},
      {ssLeft | ssRight, true},  // a left press with the right button held
      {ssLeft, false},
      {ssMiddle | ssShift, false},
  };
  for (const auto& c : cases) {
    const POINT cursor{40, 30};
    SetCursorPos(cursor.x, cursor.y);
    RECT menu{};
    bool opened = false;
    TModalScript script({[&] {
      if (HWND window = OpenMenu()) {
        opened = true;
        GetWindowRect(window, &menu);
        EndMenu();
      }
    }});
    if (!c.opens) PostMessageW(Form1->Handle(), WM_NULL, 0, 0);
    Form1->ProgressBar1MouseDown(mbLeft, {c.held}, 5, 5);
    Pump(std::chrono::milliseconds(150));
    EXPECT_EQ(opened, c.opens) << int(c.held);
    if (opened) {
      EXPECT_EQ(menu.left, cursor.x);
      EXPECT_EQ(menu.top, cursor.y);
    }
  }
}

}  // namespace
