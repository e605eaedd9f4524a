#include "framework/ErrorText.h"

#include <gtest/gtest.h>

namespace {

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
