// Feeds any bytes to the profile-integer reader and checks, for each input, what must hold
// whatever the text: an accepted integer prints as plain decimal that reads back to itself,
// and the reader never accepts a character no integer text can hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "framework/ProfileInteger.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsPlainDecimal(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  if (text.empty() || (text.front() == '0' && text.size() > 1)) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool MayStandInAnInteger(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == 'x' ||
         c == 'X' || c == '$' || c == '+' || c == '-' || c == ' ';
}

enum class TDecimal { NotDecimal, OutOfRange, InRange };

// Spaces, a sign and decimal digits and nothing else: what the value must be, worked out
// without the reader.
TDecimal DecimalValue(std::string_view text, std::int64_t& value) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return TDecimal::NotDecimal;
  bool tooLarge = false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return TDecimal::NotDecimal;
    if (!tooLarge) value = value * 10 + (c - '0');
    tooLarge = tooLarge || value > 2147483648LL;
  }
  if (negative) value = -value;
  return tooLarge || value > 2147483647LL ? TDecimal::OutOfRange : TDecimal::InRange;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A heap block of exactly the input's size: a read one past its end is caught.
  const auto bytes = std::make_unique<char[]>(size);
  if (size != 0) std::memcpy(bytes.get(), data, size);
  const std::string_view text(bytes.get(), size);

  // Two different defaults tell an accepted value from a fallback.
  const std::int32_t withZero = IntegerFromProfileText(text, 0);
  const std::int32_t withOne = IntegerFromProfileText(text, 1);
  const bool accepted = withZero == withOne;

  std::int64_t expected = 0;
  switch (DecimalValue(text, expected)) {
    case TDecimal::InRange:
      Check(accepted && withZero == expected);
      break;
    case TDecimal::OutOfRange:
      Check(!accepted);
      break;
    case TDecimal::NotDecimal:
      break;
  }
  if (!accepted) return 0;

  for (const char c : text) Check(MayStandInAnInteger(c));
  const std::string printed = ProfileTextFromInteger(withZero);
  Check(IsPlainDecimal(printed));
  Check(IntegerFromProfileText(printed, withZero == 0 ? 1 : 0) == withZero);
  return 0;
}
