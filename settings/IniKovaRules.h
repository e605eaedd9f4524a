#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Where the settings store puts its file, as rules on plain strings so they can be checked
// without a system behind them.

// Tells whether a byte starts a double-byte character in the code page the name is in.
using TLeadByteTest = std::function<bool(unsigned char)>;

// Length of the directory part of a file name: everything up to and including its last "\" or
// ":", 0 when there is none. The second byte of a double-byte character can be 0x5C ("表" is
// 0x95 0x5C in code page 932), and such a byte is no separator.
std::size_t DirectoryPartLength(std::string_view fileName, const TLeadByteTest& isLeadByte);

// The profile name a program gets when it names none: its own name with ".INI" for an
// extension, put in lower case with a capital first letter ("GAUGE.EXE" gives "Gauge.ini").
// Only A to Z change, byte by byte.
std::string DefaultIniName(std::string_view exeName);

// Asks fetch, which behaves as GetWindowsDirectory does, for its text: it returns the text's
// length when the buffer held it, the size it needs (terminator included) when not, 0 when it
// has nothing. Asks again with a buffer of the size it needs, so the text is never taken from
// a buffer the system did not fill; gives nothing when fetch fails or never settles.
using TFetchText = std::function<std::uint32_t(char* buffer, std::uint32_t size)>;
std::optional<std::string> FetchSizedText(std::uint32_t firstSize, const TFetchText& fetch);

// The same for a fetch that behaves as GetModuleFileName does: it fills the whole buffer and
// returns its size when the text does not fit, so the buffer grows until it is not full.
std::optional<std::string> FetchTruncatedText(std::uint32_t firstSize, const TFetchText& fetch);
