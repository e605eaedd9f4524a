#include "framework/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, ShiftJisTextsBecomeTheSameUnicodeWhateverTheAnsiCodePage) {
  // 濃さ調節, as the bytes the program stores.
  EXPECT_EQ(FromShiftJis("\x94\x5A\x82\xB3\x92\xB2\x90\xDF"), L"\u6FC3\u3055\u8ABF\u7BC0");
}

TEST(Text, FormatPutsTheArgumentInPlaceOfTheFirstPlaceholder) {
  EXPECT_EQ(FormatText(L"'%s' x %s", L"KERNEL\\CPUUsage"), L"'KERNEL\\CPUUsage' x %s");
  EXPECT_EQ(FormatText(L"none", L"a"), L"none");
}

}  // namespace
