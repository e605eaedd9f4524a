#include "framework/ErrorText.h"
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

TEST(ErrorText, FullStopIsAddedOnlyAfterCharactersAboveIt) {
  const struct {
    const wchar_t* message;
    const wchar_t* shown;
  } cases[] = {
      {L"abc", L"abc."},
      {L"12", L"12."},
      {L"\u3093", L"\u3093."},
      {L"done.", L"done."},
      {L"trailing ", L"trailing "},
      {L"stop!", L"stop!"},
      {L"(see)", L"(see)"},
      {L"", L""},
      {L"a/", L"a/."},  // "/" is the character after "."
      {L"a-", L"a-"},   // and "-" the one before it
  };
  for (const auto& c : cases) EXPECT_EQ(WithFullStop(c.message), c.shown) << c.message;
}

}  // namespace
