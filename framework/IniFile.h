#pragma once

#include <cstdint>
#include <string>
#include <utility>

// A profile file reached through the system's private-profile functions. It holds only the
// path (in the ANSI code page, as the A calls take it): the system reads and caches the file,
// and every write goes to it at once.
class TIniFile {
public:
  explicit TIniFile(std::string path) : FPath(std::move(path)) {}
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;
  // Asks the system to flush its cached copy of the file.
  ~TIniFile();

  const std::string& Path() const noexcept { return FPath; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t fallback) const;
  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

  // A write the system refuses raises an Exception naming the file.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

private:
  std::string FPath;
};
