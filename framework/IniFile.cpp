#include "framework/IniFile.h"

#include <windows.h>

#include <algorithm>
#include <array>

#include "framework/Exception.h"
#include "framework/ProfileInteger.h"
#include "framework/Text.h"

namespace {

// The most a value's text can hold, its terminator included.
constexpr std::size_t kValueBufferSize = 2048;

}  // namespace

TIniFile::~TIniFile() {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, FPath.c_str());
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& fallback) const {
  std::array<char, kValueBufferSize> buffer{};
  const DWORD length =
      GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                               static_cast<DWORD>(buffer.size()), FPath.c_str());
  return std::string(buffer.data(), std::min<std::size_t>(length, buffer.size() - 1));
}

std::int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                                   std::int32_t fallback) const {
  const std::string text = ReadString(section, key, "");
  // A text that fills the whole buffer may have been cut short, and what is left of a number
  // can be another one: "000...0150" cut inside its zeros reads as 0.
  if (text.size() >= kValueBufferSize - 1) return fallback;
  return IntegerFromProfileText(text, fallback);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), FPath.c_str()))
    throw Exception(FormatText(FromShiftJis("%s に書き込めません"), FromAnsi(FPath)));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key,
                            std::int32_t value) {
  WriteString(section, key, ProfileTextFromInteger(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}
