#include "framework/IniFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

// 150 with zeros in front, as long as asked: a read that took only its start would see 0.
std::string PaddedOpacity(std::size_t length) {
  return std::string(length - 3, '0') + "150";
}

TEST(IniFileLongValue, AnIntegerLongerThanAReadCanTakeIsTheDefaultNotWhatIsLeftOfIt) {
  std::string temp(MAX_PATH + 1, '\0');
  temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
  const std::string path = temp + "vimbrel-long-" + std::to_string(GetCurrentProcessId()) + ".ini";
  const struct {
    std::size_t length;
    int read;
  } cases[] = {
      {2046, 150},  // the longest text the 2048-byte buffer holds with room to spare
      {2047, 77},   // fills it: it may have been longer
      {2048, 77},
      {100'000, 77},
  };
  {
    std::ofstream file(path, std::ios::binary);
    file << "[Vimbrel]\r\n";
    for (const auto& c : cases) file << "K" << c.length << "=" << PaddedOpacity(c.length) << "\r\n";
  }
  {
    const TIniFile ini(path);
    for (const auto& c : cases)
      EXPECT_EQ(ini.ReadInteger("Vimbrel", "K" + std::to_string(c.length), 77), c.read) << c.length;
    EXPECT_EQ(ini.ReadString("Vimbrel", "K100000", "").size(), 2047u);
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace
