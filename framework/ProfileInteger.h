#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How integers look in a profile file. Reading is forgiving in what it accepts ("$1F", "0x1F",
// "-5") but gives up on anything it cannot read whole, so a damaged value falls back to the
// caller's default instead of turning into a half-read number.
//
// A sign may stand before a hexadecimal value too: it negates the 32-bit pattern, so "-$10"
// reads as -16 and "-$FFFFFFFF" as 1, the way Pascal's Val treats it. The program itself never
// writes a hexadecimal value.
std::int32_t IntegerFromProfileText(std::string_view text, std::int32_t fallback);

// Decimal, with a "-" when negative and nothing else around it.
std::string ProfileTextFromInteger(std::int32_t value);
