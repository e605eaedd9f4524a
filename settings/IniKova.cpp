#include "settings/IniKova.h"

#include <windows.h>

#include "settings/IniKovaRules.h"

namespace {

bool IsAnsiLeadByte(unsigned char byte) {
  return IsDBCSLeadByte(byte) != FALSE;
}

// The running program's full file name; empty in the unlikely case the system has none.
std::string ExeFileName() {
  return FetchTruncatedText(
             MAX_PATH,
             [](char* buffer, std::uint32_t size) {
               return static_cast<std::uint32_t>(GetModuleFileNameA(nullptr, buffer, size));
             })
      .value_or(std::string());
}

std::size_t AnsiDirectoryPartLength(std::string_view fileName) {
  return DirectoryPartLength(fileName, IsAnsiLeadByte);
}

}  // namespace

TIniKova::TIniKova(TComponent* owner)
    : TComponent(owner),
      FIniFile(std::make_unique<TIniFile>(std::string())),
      FDefaultDir(ddApplication),
      FFence(fnNone) {}

TIniKova::~TIniKova() = default;

void TIniKova::ApplySettings(const TSettings& settings) {
  SetDefaultDir(settings.DefaultDir);
  SetFileName(settings.FileName);
  SetFence(settings.Fence);
}

void TIniKova::Loaded() {
  TComponent::Loaded();
  if (!FFileName.empty()) return;
  const std::string exe = ExeFileName();
  SetFileName(DefaultIniName(std::string_view(exe).substr(AnsiDirectoryPartLength(exe))));
}

void TIniKova::SetDefaultDir(TIniKovaDefaultDir value) {
  FDefaultDir = value;
  SetFileName(FFileName);
}

void TIniKova::SetFileName(const std::string& value) {
  std::string name = value;
  auto next = std::make_unique<TIniFile>(ResolvePath(name));
  FFileName = std::move(name);
  // The old accessor flushes its file before the new one takes over.
  FIniFile.reset();
  FIniFile = std::move(next);
}

std::string TIniKova::ResolvePath(const std::string& fileName) const {
  if (AnsiDirectoryPartLength(fileName) != 0) return fileName;
  switch (FDefaultDir) {
    case ddApplication: {
      const std::string exe = ExeFileName();
      return exe.substr(0, AnsiDirectoryPartLength(exe)) + fileName;
    }
    case ddWindows: {
      // 150 bytes hold the usual Windows directory; a longer one is asked for again, and
      // without one the name stays bare.
      const auto windows = FetchSizedText(150, [](char* buffer, std::uint32_t size) {
        return static_cast<std::uint32_t>(GetWindowsDirectoryA(buffer, size));
      });
      return windows ? *windows + "\\" + fileName : fileName;
    }
    case ddNone:
      break;
  }
  return fileName;
}
