#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/IniFile.h"

enum TIniKovaDefaultDir : std::uint8_t { ddApplication, ddWindows, ddNone };
enum TIniKovaFence : std::uint8_t { fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone };

// Anything placed by a left and a top edge: a form or a control.
template <class TControl>
concept TPositioned = requires(TControl& control, int value) {
  { control.Left() } -> std::convertible_to<int>;
  { control.Top() } -> std::convertible_to<int>;
  control.SetLeft(value);
  control.SetTop(value);
};

// A settings file placed by name and default directory, read and written key by key.
class TIniKova : public TComponent {
public:
  struct TSettings {
    TIniKovaDefaultDir DefaultDir = ddApplication;
    std::string FileName;
    TIniKovaFence Fence = fnNone;
  };

  explicit TIniKova(TComponent* owner);
  ~TIniKova() override;

  void ApplySettings(const TSettings& settings);
  // A store given no name takes the program's own, with ".ini".
  void Loaded() override;

  TIniKovaDefaultDir DefaultDir() const noexcept { return FDefaultDir; }
  void SetDefaultDir(TIniKovaDefaultDir value);
  const std::string& FileName() const noexcept { return FFileName; }
  void SetFileName(const std::string& value);
  TIniKovaFence Fence() const noexcept { return FFence; }
  void SetFence(TIniKovaFence value) noexcept { FFence = value; }

  // The accessor every read and write goes through; its path is where the name and the
  // default directory put the file.
  const TIniFile& IniFile() const noexcept { return *FIniFile; }

  bool ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return FIniFile->ReadBool(section, key, fallback);
  }
  void WriteBool(const std::string& section, const std::string& key, bool value) {
    FIniFile->WriteBool(section, key, value);
  }
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t fallback) const {
    return FIniFile->ReadInteger(section, key, fallback);
  }
  void WriteInteger(const std::string& section, const std::string& key, std::int32_t value) {
    FIniFile->WriteInteger(section, key, value);
  }

  // Keys prefix.X and prefix.Y; a missing one leaves that edge where it is.
  template <TPositioned TControl>
  void ReadPosition(const std::string& section, const std::string& prefix,
                    TControl& control) const {
    control.SetLeft(ReadInteger(section, prefix + ".X", control.Left()));
    control.SetTop(ReadInteger(section, prefix + ".Y", control.Top()));
  }
  template <TPositioned TControl>
  void WritePosition(const std::string& section, const std::string& prefix,
                     const TControl& control) {
    WriteInteger(section, prefix + ".X", control.Left());
    WriteInteger(section, prefix + ".Y", control.Top());
  }

private:
  std::string ResolvePath(const std::string& fileName) const;

  std::unique_ptr<TIniFile> FIniFile;
  TIniKovaDefaultDir FDefaultDir;
  std::string FFileName;
  TIniKovaFence FFence;
};
