#include "tests/res/IconPixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct TMemoryDCTraits {
  using Handle = HDC;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return DeleteDC(handle) != FALSE; }
};

COLORREF FromDib(DWORD pixel) {
  return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

DWORD ToDib(COLORREF colour) {
  return GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
}

}  // namespace

TPixels DrawIconPixels(HICON icon, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TUniqueHandle<TMemoryDCTraits> dc(CreateCompatibleDC(nullptr));
  TUniqueBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap) {
    ADD_FAILURE() << "cannot make a bitmap to draw on";
    return {};
  }
  auto* pixels = static_cast<DWORD*>(bits);
  std::fill(pixels, pixels + size * size, ToDib(kBackground));
  {
    TSelectObject selected(dc.Get(), bitmap.Get());
    EXPECT_TRUE(DrawIconEx(dc.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL));
    GdiFlush();
  }
  TPixels result;
  for (int i = 0; i < size * size; ++i) result.push_back(FromDib(pixels[i]));
  return result;
}

HICON LoadIconImage(HMODULE module, int size) {
  return static_cast<HICON>(LoadImageW(module, L"MAINICON", IMAGE_ICON, size, size, 0));
}

void ExpectPixelsOf(const TIconMap& map, const TPixels& pixels) {
  ASSERT_EQ(pixels.size(), map.Pixels.size());
  std::string wrong;
  int count = 0;
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      const int index = map.At(x, y);
      COLORREF expected = kBackground;
      if (index != kTransparent) {
        const TRgb& colour = kVgaPalette[index];
        expected = RGB(colour.Red, colour.Green, colour.Blue);
      }
      if (pixels[y * kIconSize + x] == expected) continue;
      if (++count <= 10) wrong += " " + std::to_string(x) + "," + std::to_string(y);
    }
  }
  EXPECT_EQ(count, 0) << "pixels not as the map says, first ones at" << wrong;
}
