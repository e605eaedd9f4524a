// A throwaway exe that carries the program's resources, so the tests can read them from a
// linked exe and see what its manifest does when it runs.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <string>

#include "framework/Handles.h"
#include "res/Resource.h"
#include "tests/res/ProbeReport.h"

namespace {

// The loader picks comctl32 by the process's manifest: version 6 lives in its own side-by-side
// folder. (Its DllGetVersion is no witness: Wine's copy there says 5.81.)
bool LoadsCommonControls6() {
  TUniqueModule comctl32(LoadLibraryW(L"comctl32.dll"));
  if (!comctl32) return false;
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(comctl32.Get(), path, MAX_PATH);
  std::wstring name(path, length);
  std::transform(name.begin(), name.end(), name.begin(), towlower);
  return name.find(L"\\winsxs\\" VIMBREL_MANIFEST_ARCH
                   "_microsoft.windows.common-controls_6595b64144ccf1df_6.0.") !=
         std::wstring::npos;
}

// Wine calls every process DPI-aware, so IsProcessDPIAware says nothing here; the setting as
// the loader read it from the manifest does.
bool ManifestSaysDpiAware() {
  wchar_t value[16] = {};
  SIZE_T written = 0;
  return QueryActCtxSettingsW(0, nullptr, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                              L"dpiAware", value, std::size(value), &written) &&
         std::wstring(value) == L"true";
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  unsigned long report = 0;
  if (LoadIconA(instance, VIMBREL_MAIN_ICON)) report |= prMainIconLoads;
  if (LoadsCommonControls6()) report |= prCommonControls6;
  if (ManifestSaysDpiAware()) report |= prDpiAware;
  return static_cast<int>(report);
}
