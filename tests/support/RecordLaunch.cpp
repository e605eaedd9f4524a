// Stands in for the web browser: records how it was started, in a file beside itself named
// like the exe with ".txt" in place of ".exe". The first line holds whether the starter chose
// a show command (STARTF_USESHOWWINDOW) and which one, the second the whole command line.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  const std::size_t dot = path.find_last_of(L'.');
  if (dot == std::wstring::npos) return 1;
  const std::wstring record = path.substr(0, dot) + L".txt";
  const std::wstring partial = record + L".part";

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  const std::wstring text = std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0) +
                            L" " + std::to_wstring(startup.wShowWindow) + L"\n" + GetCommandLineW();

  // Written aside and then renamed, so a reader never sees half a record.
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                               &written, nullptr);
  CloseHandle(file);
  if (!wrote || !MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) return 3;
  return 0;
}
