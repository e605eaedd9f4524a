#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "res/IconMap.h"
#include "tests/res/IconPixels.h"
#include "tests/res/ProbeReport.h"

namespace {

std::wstring ProbePath() {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring result(path, length);
  return result.substr(0, result.find_last_of(L"\\/") + 1) + L"res_probe.exe";
}

// The probe's resources, read as data without running it.
class ProbeResources : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(FModule) << "cannot load " << testing::PrintToString(ProbePath());
  }
  HMODULE Module() const { return FModule.Get(); }

  std::string Manifest() const {
    // The loader reads the process's manifest from RT_MANIFEST (24), id 1.
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!found) return {};
    HGLOBAL loaded = LoadResource(Module(), found);
    return std::string(static_cast<const char*>(LockResource(loaded)),
                       SizeofResource(Module(), found));
  }

private:
  TUniqueModule FModule{LoadLibraryExW(ProbePath().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
};

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) noexcept {
  auto& list = *reinterpret_cast<std::vector<std::wstring>*>(names);
  try {
    list.push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                                        : std::wstring(name));
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

TEST_F(ProbeResources, MainIconIsTheFirstIconAndLoadsByName) {
  std::vector<std::wstring> groups;
  EnumResourceNamesW(Module(), MAKEINTRESOURCEW(14), CollectName,  // RT_GROUP_ICON
                     reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups.front(), L"MAINICON");

  TUniqueIcon icon(LoadIconImage(Module()));
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
  TUniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
  EXPECT_TRUE(info.fIcon);
  BITMAP bitmap{};
  ASSERT_TRUE(GetObjectW(colour.Get(), sizeof bitmap, &bitmap));
  EXPECT_EQ(bitmap.bmWidth, 32);
  EXPECT_EQ(bitmap.bmHeight, 32);
}

// Pixels that make the picture what it is, whatever else a redesign changes.
TEST_F(ProbeResources, MainIconIsABlackChipWithPinsAnOutlineAndYellowLetters) {
  TUniqueIcon icon(LoadIconImage(Module()));
  ASSERT_TRUE(icon);
  const TPixels pixels = DrawIconPixels(icon.Get());
  const auto at = [&](int x, int y) { return pixels[y * kIconSize + x]; };
  const auto isGrey = [](COLORREF colour) {
    return colour == RGB(0xC0, 0xC0, 0xC0) || colour == RGB(0x80, 0x80, 0x80);
  };

  for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) {
    EXPECT_EQ(at(x, y), kBackground) << "corner " << x << "," << y;
  }
  // Four pins on each side, with the background showing between them.
  for (int along : {6, 12, 18, 24}) {
    EXPECT_TRUE(isGrey(at(along, 1))) << "top pin at " << along;
    EXPECT_TRUE(isGrey(at(along, 29))) << "bottom pin at " << along;
    EXPECT_TRUE(isGrey(at(1, along))) << "left pin at " << along;
    EXPECT_TRUE(isGrey(at(29, along))) << "right pin at " << along;
  }
  for (int between : {9, 15, 21}) {
    EXPECT_EQ(at(between, 1), kBackground) << "between top pins at " << between;
    EXPECT_EQ(at(1, between), kBackground) << "between left pins at " << between;
  }
  // The black body's edge, the grey line just inside it, black again within.
  for (auto [x, y] : {std::pair{3, 15}, {28, 15}, {15, 3}, {15, 28}, {15, 7}, {5, 5}, {26, 26}}) {
    EXPECT_EQ(at(x, y), RGB(0, 0, 0)) << "body at " << x << "," << y;
  }
  for (auto [x, y] : {std::pair{4, 15}, {27, 15}, {15, 4}, {15, 27}, {4, 4}, {27, 27}}) {
    EXPECT_TRUE(isGrey(at(x, y))) << "outline at " << x << "," << y;
  }
  // "cpu": three yellow glyphs side by side in the middle rows, and yellow nowhere else.
  std::vector<bool> yellowColumns(kIconSize);
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) {
      if (at(x, y) != RGB(0xFF, 0xFF, 0)) continue;
      EXPECT_TRUE(x > 4 && x < 27 && y > 4 && y < 27)
          << "yellow outside the outline at " << x << "," << y;
      yellowColumns[x] = true;
    }
  }
  int glyphs = 0;
  for (int x = 0; x < kIconSize; ++x) {
    if (yellowColumns[x] && (x == 0 || !yellowColumns[x - 1])) ++glyphs;
  }
  EXPECT_EQ(glyphs, 3);
}

// Windows shrinks the one 32-pixel image for small icons; Wine, like Windows' own default
// stretch mode, ANDs each 2 x 2 block, so only yellow strokes that fill whole blocks survive.
TEST_F(ProbeResources, MainIconKeepsItsLettersWhenShrunkTo16Pixels) {
  TUniqueIcon icon(LoadIconImage(Module(), 16));
  ASSERT_TRUE(icon);
  const TPixels pixels = DrawIconPixels(icon.Get(), 16);
  int yellow = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (pixels[y * 16 + x] != RGB(0xFF, 0xFF, 0)) continue;
      EXPECT_TRUE(x > 1 && x < 14 && y > 1 && y < 14) << "yellow off the chip at " << x << "," << y;
      ++yellow;
    }
  }
  EXPECT_GE(yellow, 16);
}

// Catches an icon that is stale or drawn from anything but the map in the source tree.
TEST_F(ProbeResources, MainIconShowsEveryPixelOfThePixelMap) {
  std::ifstream file(VIMBREL_MAIN_ICON_MAP, std::ios::binary);
  ASSERT_TRUE(file) << VIMBREL_MAIN_ICON_MAP;
  std::ostringstream text;
  text << file.rdbuf();
  const TIconMap map = ParseIconMap(text.str());

  TUniqueIcon icon(LoadIconImage(Module()));
  ASSERT_TRUE(icon);
  ExpectPixelsOf(map, DrawIconPixels(icon.Get()));
}

TEST_F(ProbeResources, ManifestAsksForCommonControls6AndSaysDpiAware) {
  const std::string manifest = Manifest();
  ASSERT_FALSE(manifest.empty());
  const std::size_t dependency = manifest.find("<dependentAssembly>");
  ASSERT_NE(dependency, std::string::npos) << manifest;
  const std::size_t begin = manifest.find("<assemblyIdentity", dependency);
  const std::string identity = manifest.substr(begin, manifest.find("/>", begin) - begin);
  for (const char* attribute :
       {"type=\"win32\"", "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
        "processorArchitecture=\"" VIMBREL_MANIFEST_ARCH "\"", "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\""}) {
    EXPECT_NE(identity.find(attribute), std::string::npos) << attribute << " in " << identity;
  }
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/"
                          "WindowsSettings\">true</dpiAware>"),
            std::string::npos)
      << manifest;
}

// The loader reads the manifest when the exe starts: a malformed one would fail the start or
// leave the process with the old common controls.
TEST(ResProbe, RunsWithCommonControls6AndDpiAwarenessAndFindsItsIcon) {
  std::wstring commandLine = L"\"" + ProbePath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << GetLastError();
  TUniqueFile processHandle(process.hProcess), threadHandle(process.hThread);
  ASSERT_EQ(WaitForSingleObject(processHandle.Get(), 30000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  ASSERT_TRUE(GetExitCodeProcess(processHandle.Get(), &exitCode));
  EXPECT_EQ(exitCode & prMainIconLoads, prMainIconLoads);
  EXPECT_EQ(exitCode & prCommonControls6, prCommonControls6);
  EXPECT_EQ(exitCode & prDpiAware, prDpiAware);
}

class ProbeVersion : public testing::Test {
protected:
  void SetUp() override {
    const std::wstring path = ProbePath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_NE(size, 0u) << GetLastError();
    FData.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, FData.data()));
  }

  template <class T>
  const T* Query(const wchar_t* path, UINT* length = nullptr) {
    void* value = nullptr;
    UINT size = 0;
    if (!VerQueryValueW(FData.data(), path, &value, &size)) return nullptr;
    if (length) *length = size;
    return static_cast<const T*>(value);
  }

private:
  std::vector<char> FData;
};

TEST_F(ProbeVersion, FixedInfoSaysVersion1_27OfAnApplication) {
  const auto* info = Query<VS_FIXEDFILEINFO>(L"\\");
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info->dwFileVersionMS, 0x0001001Bu);  // 1.27
  EXPECT_EQ(info->dwFileVersionLS, 0u);
  EXPECT_EQ(info->dwProductVersionMS, 0x0001001Bu);
  EXPECT_EQ(info->dwProductVersionLS, 0u);
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(ProbeVersion, StringsAreJapaneseInCodePage932) {
  UINT length = 0;
  const auto* translation = Query<WORD>(L"\\VarFileInfo\\Translation", &length);
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 932);

  const struct {
    const wchar_t* name;
    const wchar_t* value;
  } cases[] = {
      {L"FileDescription", L"Vimbrel"},
      {L"ProductName", L"Vimbrel"},
      {L"FileVersion", L"1.27"},
      {L"ProductVersion", L"1.27"},
      {L"OriginalFilename", L"Vimbrel.exe"},
      {L"InternalName", L"Vimbrel"},
      {L"CompanyName", L"Vimbrel developers"},
      {L"LegalCopyright", L"Copyright (C) Vimbrel developers"},
  };
  for (const auto& c : cases) {
    const std::wstring path = std::wstring(L"\\StringFileInfo\\041103A4\\") + c.name;
    const auto* value = Query<wchar_t>(path.c_str());
    ASSERT_NE(value, nullptr) << testing::PrintToString(std::wstring(c.name));
    EXPECT_EQ(std::wstring(value), c.value);
  }
}

}  // namespace
