#include "framework/ProfileInteger.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

constexpr int kDefault = 77;

TEST(ProfileInteger, TextsReadAsNumbersOrGiveTheDefault) {
  const struct {
    const char* text;
    int read;
  } cases[] = {
      {"0", 0},
      {"31", 31},
      {"007", 7},
      {"0x1F", 31},
      {"0X1f", 31},
      {"$1F", 31},
      {"$1f", 31},
      {"x1F", 31},
      {"X1F", 31},
      {"0x", kDefault},  // too short to be rewritten, and "0" followed by "x" is no number
      {"0X", kDefault},
      {"$", kDefault},
      {"x", kDefault},
      {"0x0", 0},
      {"$0000000000001F", 31},
      {"$FFFFFFFF", -1},
      {"$80000000", INT_MIN},
      {"$7FFFFFFF", INT_MAX},
      {"$100000000", kDefault},
      {"0x100000000", kDefault},
      {"$1G", kDefault},
      {"0x$1F", kDefault},
      {"0x-1F", kDefault},
      {"00x1F", kDefault},
      {"-5", -5},
      {"+5", 5},
      {"-0", 0},
      {"2147483647", INT_MAX},
      {"2147483648", kDefault},
      {"-2147483648", INT_MIN},
      {"-2147483649", kDefault},
      {"00000000000000000000002147483647", INT_MAX},
      {"99999999999999999999999999999999", kDefault},
      {"12abc", kDefault},
      {"1.5", kDefault},
      {"1e3", kDefault},
      {"1 2", kDefault},
      {"12 ", kDefault},  // a trailing blank is not skipped
      {"  12", 12},
      {"  -12", -12},
      {"  $1F", 31},
      {"  0x1F", 31},      // not rewritten, but "0x" is a marker of its own
      {"\t12", kDefault},  // only spaces are skipped
      {"- 5", kDefault},
      {"--5", kDefault},
      {"+-5", kDefault},
      {"", kDefault},
      {" ", kDefault},
      {"-", kDefault},
      {"+", kDefault},
      {"-$", kDefault},
      {"true", kDefault},
      {"yes", kDefault},
      // A sign in front of a hexadecimal value negates its 32-bit pattern.
      {"-$10", -16},
      {"+$10", 16},
      {"-0x1F", -31},
      {"-x1F", -31},
      {"-$FFFFFFFF", 1},
      {"-$80000000", INT_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IntegerFromProfileText(c.text, kDefault), c.read) << '"' << c.text << '"';
}

TEST(ProfileInteger, DefaultIsReturnedAsGivenEvenWhenItLooksLikeAResult) {
  EXPECT_EQ(IntegerFromProfileText("junk", INT_MIN), INT_MIN);
  EXPECT_EQ(IntegerFromProfileText("junk", -1), -1);
  EXPECT_EQ(IntegerFromProfileText("5", -1), 5);
}

TEST(ProfileInteger, WrittenAsPlainDecimalThatReadsBackTheSame) {
  const struct {
    int value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {-5, "-5"},
      {200, "200"},
      {INT_MAX, "2147483647"},
      {INT_MIN, "-2147483648"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProfileTextFromInteger(c.value), c.text);
    EXPECT_EQ(IntegerFromProfileText(c.text, kDefault), c.value) << c.text;
  }
}

}  // namespace
