#pragma once

#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "res/IconMap.h"

struct TIconTraits {
  using Handle = HICON;
  static Handle Invalid() noexcept { return nullptr; }
  static bool Close(Handle handle) noexcept { return DestroyIcon(handle) != FALSE; }
};
using TUniqueIcon = TUniqueHandle<TIconTraits>;
using TUniqueBitmap = TUniqueHandle<TGdiObjectTraits<HBITMAP>>;

// A colour outside the 16 of the palette, so a transparent pixel cannot pass for a painted one.
inline constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);

// What the system draws for an icon at size x size over kBackground, row by row from the top.
using TPixels = std::vector<COLORREF>;
TPixels DrawIconPixels(HICON icon, int size = kIconSize);

// The main icon, scaled by the system when size is not the icon's own.
HICON LoadIconImage(HMODULE module, int size = kIconSize);

void ExpectPixelsOf(const TIconMap& map, const TPixels& pixels);
