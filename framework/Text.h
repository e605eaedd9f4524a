#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program's own texts are Shift-JIS; text that the system hands out through the A calls
// is in its ANSI code page. Both become UTF-16 where they reach the window system.
std::wstring FromCodePage(UINT codePage, std::string_view text);
inline std::wstring FromShiftJis(std::string_view text) {
  return FromCodePage(932, text);
}
inline std::wstring FromAnsi(std::string_view text) {
  return FromCodePage(CP_ACP, text);
}

std::string ToCodePage(UINT codePage, std::wstring_view text);

// Puts argument in place of the first "%s" of pattern.
std::wstring FormatText(std::wstring_view pattern, std::wstring_view argument);
