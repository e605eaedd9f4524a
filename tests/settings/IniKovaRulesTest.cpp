#include "settings/IniKovaRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Lead bytes of Shift-JIS (code page 932), written out here rather than asked of the system.
bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsSingleByte(unsigned char) {
  return false;
}

TEST(IniKovaRules, DirectoryPartEndsAtTheLastSeparatorThatIsNoTrailByte) {
  const struct {
    const char* name;
    std::size_t inShiftJis;
    std::size_t inSingleByte;
  } cases[] = {
      {"Vimbrel.ini", 0, 0},
      {"", 0, 0},
      {"C:\\cfg\\a.ini", 7, 7},
      {"C:a.ini", 2, 2},  // a drive alone is a directory part
      {"\\a.ini", 1, 1},
      {"sub\\", 4, 4},
      {"..\\a:b\\c.ini", 7, 7},
      // 表 is 0x95 0x5C: its second byte is a backslash only in a single-byte code page.
      {"\x95\x5C.ini", 0, 2},
      {"C:\\\x95\x5C.ini", 3, 5},
      {"a\\\x95\x5C", 2, 4},
      {"\x95\x5C\\a.ini", 3, 3},
      {"\x81\x5C\x81\x5C", 0, 4},
      // The first 0x95 leads and the second is its trail, so the backslash after them counts.
      {"\x95\x95\x5C", 3, 3},
      {"a\x95", 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryPartLength(c.name, IsShiftJisLeadByte), c.inShiftJis) << c.name;
    EXPECT_EQ(DirectoryPartLength(c.name, IsSingleByte), c.inSingleByte) << c.name;
  }
}

TEST(IniKovaRules, DefaultNameIsTheProgramsNameWithIniInLowerCaseAndACapital) {
  const struct {
    const char* exe;
    const char* ini;
  } cases[] = {
      {"GAUGE.EXE", "Gauge.ini"},
      {"my.gauge.exe", "My.gauge.ini"},
      {"_x.exe", "_x.ini"},
      {"gauge", "Gauge.ini"},
      {"Vimbrel.exe", "Vimbrel.ini"},
      {"ABC.DEF.EXE", "Abc.def.ini"},
      {"1ST.EXE", "1st.ini"},
      {".EXE", ".ini"},
      {"a.", "A.ini"},
      // Byte by byte, so the trail byte 0x41 of ア (0x83 0x41) changes too; bytes above 0x7F
      // never do.
      {"\x83\x41.EXE", "\x83\x61.ini"},
      {"\xC4.EXE", "\xC4.ini"},
  };
  for (const auto& c : cases) EXPECT_EQ(DefaultIniName(c.exe), c.ini) << c.exe;
}

// A Windows directory of the given length, answering as GetWindowsDirectory does. A buffer
// too small is filled with rubbish so a caller that reads it anyway is caught.
struct TWindowsDirectory {
  std::string Text;
  std::vector<std::uint32_t> Asked;
  std::uint32_t operator()(char* buffer, std::uint32_t size) {
    Asked.push_back(size);
    const auto length = static_cast<std::uint32_t>(Text.size());
    if (length >= size) {
      std::fill(buffer, buffer + size, '?');
      return length + 1;
    }
    std::memcpy(buffer, Text.c_str(), length + 1);
    return length;
  }
};

TEST(IniKovaRules, WindowsDirectoryLongerThanTheFirstBufferIsAskedForAgain) {
  const struct {
    std::size_t length;
    std::vector<std::uint32_t> asked;
  } cases[] = {
      {10, {150}},
      {149, {150}},
      {150, {150, 151}},
      {300, {150, 301}},
  };
  for (const auto& c : cases) {
    TWindowsDirectory directory{"C:\\" + std::string(c.length - 3, 'w'), {}};
    const auto text = FetchSizedText(150, std::ref(directory));
    EXPECT_EQ(text, directory.Text) << c.length;
    EXPECT_EQ(directory.Asked, c.asked) << c.length;
  }
}

TEST(IniKovaRules, WindowsDirectoryThatCannotBeFetchedGivesNothing) {
  int calls = 0;
  EXPECT_EQ(FetchSizedText(150,
                           [&](char*, std::uint32_t) -> std::uint32_t {
                             ++calls;
                             return 0;
                           }),
            std::nullopt);
  EXPECT_EQ(calls, 1);
  // One that asks for more on every call never settles; the caller is not kept waiting.
  EXPECT_EQ(FetchSizedText(150, [](char*, std::uint32_t size) { return size + 10; }), std::nullopt);
}

// A module file name of the given length, answering as GetModuleFileName does: a buffer too
// small is filled to its end without a terminator and its size is returned.
struct TModuleFileName {
  std::string Text;
  std::uint32_t operator()(char* buffer, std::uint32_t size) const {
    const auto length = static_cast<std::uint32_t>(Text.size());
    if (length >= size) {
      std::memcpy(buffer, Text.data(), size);
      return size;
    }
    std::memcpy(buffer, Text.c_str(), length + 1);
    return length;
  }
};

TEST(IniKovaRules, LongModuleFileNamesAreFetchedWhole) {
  for (const std::size_t length : {10u, 259u, 260u, 261u, 1000u, 32767u}) {
    const TModuleFileName module{"C:\\" + std::string(length - 3, 'm')};
    EXPECT_EQ(FetchTruncatedText(260, module), module.Text) << length;
  }
  EXPECT_EQ(FetchTruncatedText(260, [](char*, std::uint32_t) -> std::uint32_t { return 0; }),
            std::nullopt);
}

}  // namespace
