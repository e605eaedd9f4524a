#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/app/MeterFixture.h"

namespace {

using OpacityWindow = Meter;

void Scroll(WORD code, WORD position = 0) {
  SendMessageW(Form2->Handle(), WM_HSCROLL, MAKEWPARAM(code, position),
               reinterpret_cast<LPARAM>(Form2->kosa->Handle()));
}

TEST_F(OpacityWindow, IsCreatedHiddenWithItsSliderAtTwoHundredAndTouchesNoOpacity) {
  EXPECT_FALSE(Form2->Visible());
  EXPECT_EQ(Form2->Caption(), L"\u6FC3\u3055\u8ABF\u7BC0");
  EXPECT_EQ(Form2->kosa->Position(), 200);
  EXPECT_EQ(Form2->kosaold->Position(), 255);
  EXPECT_EQ(Form2->Label1->Caption(), L"\u8584\u304F");
  EXPECT_EQ(Form2->Label2->Caption(), L"\u6FC3\u304F");
  EXPECT_EQ(Form1->AlphaBlendValue(), 200);
  // The unseen track bar lies wholly below the client area.
  RECT client{};
  GetClientRect(Form2->Handle(), &client);
  EXPECT_GE(Form2->kosaold->Top(), client.bottom);
  EXPECT_FALSE(GetWindowLongW(Form2->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

TEST_F(OpacityWindow, SliderInputMovesTheOpacityWithinFiveTo255) {
  Form2->Show();
  const struct {
    WORD code;
    WORD thumb;
    int position;
  } cases[] = {
      {SB_LINERIGHT, 0, 201},  {SB_LINELEFT, 0, 200},   {SB_PAGERIGHT, 0, 201},
      {SB_PAGELEFT, 0, 200},   {SB_LEFT, 0, 5},         {SB_LINELEFT, 0, 5},
      {SB_PAGELEFT, 0, 5},     {SB_RIGHT, 0, 255},      {SB_LINERIGHT, 0, 255},
      {SB_THUMBTRACK, 90, 90}, {SB_THUMBTRACK, 91, 91}, {SB_THUMBPOSITION, 91, 91},
      {SB_ENDSCROLL, 0, 91},
  };
  for (const auto& c : cases) {
    Scroll(c.code, c.thumb);
    EXPECT_EQ(Form2->kosa->Position(), c.position) << c.code;
    EXPECT_EQ(GetScrollPos(Form2->kosa->Handle(), SB_CTL), c.position) << c.code;
    EXPECT_EQ(Form1->AlphaBlendValue(), c.position) << c.code;
  }
}

TEST_F(OpacityWindow, ShowingSetsTheSliderFromTheMeterAndRaisesALowOpacityToFive) {
  const struct {
    std::uint8_t opacity;
    int slider;
  } cases[] = {
      {3, 5},  // only a settings file can hold such a value; once shown it is gone
      {200, 200},
      {150, 150},
      {255, 255},
  };
  for (const auto& c : cases) {
    Form1->SetAlphaBlendValue(c.opacity);
    Form2->Show();
    EXPECT_EQ(Form2->kosa->Position(), c.slider) << int(c.opacity);
    EXPECT_EQ(Form1->AlphaBlendValue(), c.slider) << int(c.opacity);
    Form2->Hide();
  }
}

TEST_F(OpacityWindow, TheUnseenTrackBarHasTheFocusFirstAndTabMovesItToTheSlider) {
  const auto key = [&](WPARAM virtualKey) {
    PostMessageW(GetFocus(), WM_KEYDOWN, virtualKey, 1);
    PostMessageW(GetFocus(), WM_KEYUP, virtualKey, 0xC0000001);
    Pump(std::chrono::milliseconds(60));
  };
  Form2->Show();
  SetForegroundWindow(Form2->Handle());
  Pump(std::chrono::milliseconds(100));
  EXPECT_EQ(GetFocus(), Form2->kosaold->Handle());
  key(VK_RIGHT);
  EXPECT_EQ(Form2->kosa->Position(), 200);
  EXPECT_EQ(Form1->AlphaBlendValue(), 200);

  key(VK_TAB);
  EXPECT_EQ(GetFocus(), Form2->kosa->Handle());
  key(VK_RIGHT);
  EXPECT_EQ(Form2->kosa->Position(), 201);
  EXPECT_EQ(Form1->AlphaBlendValue(), 201);
  key(VK_HOME);
  EXPECT_EQ(Form2->kosa->Position(), 5);
  key(VK_END);
  EXPECT_EQ(Form2->kosa->Position(), 255);

  // Escape and Enter neither close the window nor move anything.
  key(VK_ESCAPE);
  key(VK_RETURN);
  EXPECT_TRUE(Form2->Visible());
  EXPECT_EQ(Form2->kosa->Position(), 255);

  // Shown again later, the window gives the focus back to the slider.
  Form2->Hide();
  Form1->Show();
  SetForegroundWindow(Form1->Handle());
  Pump(std::chrono::milliseconds(60));
  Form2->Show();
  SetForegroundWindow(Form2->Handle());
  Pump(std::chrono::milliseconds(100));
  EXPECT_EQ(GetFocus(), Form2->kosa->Handle());
}

TEST_F(OpacityWindow, IsCentredTheFirstTimeAndReappearsWhereItWasLeft) {
  Form2->Show();
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - Form2->Width()) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - Form2->Height()) / 2);
  EXPECT_EQ(Form2->Left(), left);
  EXPECT_EQ(Form2->Top(), top);
  Form2->SetLeft(17);
  Form2->SetTop(23);
  Form2->Hide();
  Form2->Show();
  EXPECT_EQ(Form2->Left(), 17);
  EXPECT_EQ(Form2->Top(), 23);
}

TEST_F(OpacityWindow, DrawsASunkenFrameAroundTheSlider) {
  Form2->Show();
  UpdateWindow(Form2->Handle());
  Pump(std::chrono::milliseconds(100));
  const int left = Form2->kosa->Left();
  const int top = Form2->kosa->Top();
  const int right = left + Form2->kosa->Width();
  const int bottom = top + Form2->kosa->Height();
  HDC dc = GetDC(Form2->Handle());
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(GetPixel(dc, left - 1, top + 2), shadow);
  EXPECT_EQ(GetPixel(dc, left + 5, top - 1), shadow);
  EXPECT_EQ(GetPixel(dc, right, top + 2), highlight);
  EXPECT_EQ(GetPixel(dc, left + 5, bottom), highlight);
  ReleaseDC(Form2->Handle(), dc);
}

}  // namespace
