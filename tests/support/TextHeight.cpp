// Exits with the height of a line of "0" in the meter's font at this session's dots per inch,
// measured the way a freshly started program sees it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HDC screen = GetDC(nullptr);
  const int height = MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 96);
  // ＭＳ Ｐゴシック
  HFONT font = CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                           L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF");
  HGDIOBJ old = SelectObject(screen, font);
  SIZE size{};
  GetTextExtentPoint32W(screen, L"0", 1, &size);
  SelectObject(screen, old);
  DeleteObject(font);
  ReleaseDC(nullptr, screen);
  return size.cy;
}
