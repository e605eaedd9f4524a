#include "framework/ProfileInteger.h"

#include <optional>

namespace {

constexpr std::uint64_t kMaxPattern = 0xFFFFFFFFu;
constexpr std::uint64_t kMaxMagnitude = 0x80000000u;

std::optional<unsigned> HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return std::nullopt;
}

// The digits after a hexadecimal marker, as the 32-bit pattern they spell.
std::optional<std::uint32_t> HexPattern(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    const auto digit = HexDigit(c);
    if (!digit) return std::nullopt;
    value = value * 16 + *digit;
    if (value > kMaxPattern) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// The magnitude of a decimal number, stopping as soon as it cannot fit any int32 value.
std::optional<std::uint64_t> DecimalMagnitude(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > kMaxMagnitude) return std::nullopt;
  }
  return value;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::int32_t IntegerFromProfileText(std::string_view text, std::int32_t fallback) {
  // "0x1F" is read as "$1F"; "0x" alone is too short to be rewritten and so stays unreadable.
  std::string rewritten;
  if (text.size() > 2 && (StartsWith(text, "0x") || StartsWith(text, "0X"))) {
    rewritten = "$";
    rewritten += text.substr(2);
    text = rewritten;
  }

  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }

  std::size_t marker = 0;
  if (StartsWith(text, "$") || StartsWith(text, "x") || StartsWith(text, "X")) {
    marker = 1;
  } else if (StartsWith(text, "0x") || StartsWith(text, "0X")) {
    marker = 2;
  }
  if (marker != 0) {
    const auto pattern = HexPattern(text.substr(marker));
    if (!pattern) return fallback;
    // Negating in unsigned arithmetic wraps modulo 2^32, as the sign of a bit pattern should.
    const std::uint32_t bits = negative ? 0u - *pattern : *pattern;
    return static_cast<std::int32_t>(bits);
  }

  const auto magnitude = DecimalMagnitude(text);
  if (!magnitude || (!negative && *magnitude == kMaxMagnitude)) return fallback;
  const auto value = static_cast<std::int64_t>(*magnitude);
  return static_cast<std::int32_t>(negative ? -value : value);
}

std::string ProfileTextFromInteger(std::int32_t value) {
  return std::to_string(value);
}
