#include "tests/e2e/MeterProcess.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

std::wstring BuildFolder() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

namespace {

std::wstring MakeTemporaryFolder() {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    std::wstring folder = std::wstring(base) + L"vimbrel-" +
                          std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount());
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temporary folder");
  }
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

struct TSearch {
  DWORD ProcessId;
  std::vector<HWND> Found;
  bool VisibleOnly;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->ProcessId && (!search->VisibleOnly || IsWindowVisible(window)))
    search->Found.push_back(window);
  return TRUE;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

TMeterProcess::TMeterProcess() : FFolder(MakeTemporaryFolder()) {
  const std::wstring exe = FFolder + L"\\Vimbrel.exe";
  if (!CopyFileW((BuildFolder() + L"Vimbrel.exe").c_str(), exe.c_str(), FALSE))
    throw std::runtime_error("cannot copy Vimbrel.exe");
}

TMeterProcess::~TMeterProcess() {
  if (FProcess.hProcess) {
    if (Running()) {
      if (FMeter) PostMessageW(FMeter, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(FProcess.hProcess, 3000) != WAIT_OBJECT_0)
        TerminateProcess(FProcess.hProcess, 99);
      WaitForSingleObject(FProcess.hProcess, 3000);
    }
    CloseHandle(FProcess.hProcess);
    CloseHandle(FProcess.hThread);
  }
  RemoveFolder(FFolder);
}

void TMeterProcess::Start() {
  std::wstring commandLine = L"\"" + FFolder + L"\\Vimbrel.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (FStartupPosition) {
    startup.dwFlags |= STARTF_USEPOSITION;
    startup.dwX = static_cast<DWORD>(FStartupPosition->x);
    startup.dwY = static_cast<DWORD>(FStartupPosition->y);
  }
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      FFolder.c_str(), &startup, &FProcess))
    throw std::runtime_error("cannot start Vimbrel.exe");
  WaitUntil(
      [&] {
        for (HWND window : VisibleWindows())
          if (ClassOf(window) == L"TForm1") FMeter = window;
        return FMeter != nullptr;
      },
      std::chrono::seconds(10));
  if (!FMeter) throw std::runtime_error("the meter window did not appear");
}

HWND TMeterProcess::Bar() const {
  return FindWindowExW(FMeter, nullptr, PROGRESS_CLASSW, nullptr);
}

std::wstring TMeterProcess::Caption(HWND window) const {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

int TMeterProcess::BarPosition() const {
  return static_cast<int>(SendMessageW(Bar(), PBM_GETPOS, 0, 0));
}

std::vector<HWND> TMeterProcess::VisibleWindows() const {
  TSearch search{FProcess.dwProcessId, {}, true};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

DWORD TMeterProcess::WaitForExit(std::chrono::milliseconds timeout) {
  WaitForSingleObject(FProcess.hProcess, static_cast<DWORD>(timeout.count()));
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(FProcess.hProcess, &code);
  return code;
}

bool TMeterProcess::Running() const {
  return WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT;
}

HWND TMeterProcess::VisibleWindowOfClass(const wchar_t* className) const {
  for (HWND window : VisibleWindows())
    if (ClassOf(window) == className) return window;
  return nullptr;
}

HWND TMeterProcess::WaitForWindowOfClass(const wchar_t* className,
                                         std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = VisibleWindowOfClass(className)) != nullptr; }, timeout);
  return found;
}

std::wstring TMeterProcess::MessageBoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return text;
}

std::string TMeterProcess::ReadSettings() const {
  HANDLE file = CreateFileW(SettingsPath().c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    content.append(buffer, read);
  CloseHandle(file);
  return content;
}

void TMeterProcess::WriteSettings(const std::string& content) const {
  HANDLE file =
      CreateFileW(SettingsPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write the settings");
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

void TMeterProcess::PostCommand(WPARAM command) const {
  PostMessageW(FMeter, WM_SYSCOMMAND, command, 0);
}

std::vector<HWND> TMeterProcess::TopLevelWindows() const {
  TSearch search{FProcess.dwProcessId, {}, false};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

bool TMeterProcess::WaitForCaptionChange(std::chrono::milliseconds timeout) const {
  const std::wstring before = MeterCaption();
  return WaitUntil([&] { return MeterCaption() != before; }, timeout);
}

TSwingingLoad::TSwingingLoad() {
  const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < processors; ++i) {
    FThreads.emplace_back([this] {
      using Clock = std::chrono::steady_clock;
      while (!FStop) {
        const auto busyUntil = Clock::now() + std::chrono::milliseconds(700);
        while (!FStop && Clock::now() < busyUntil) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
      }
    });
  }
}

TSwingingLoad::~TSwingingLoad() {
  FStop = true;
  for (std::thread& thread : FThreads) thread.join();
}

RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void MoveWindowTo(HWND window, POINT place) {
  SetWindowPos(window, nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Layered(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

int LayeredAlpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
    return -1;
  return alpha;
}

LRESULT SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result))
    return -1;
  return static_cast<LRESULT>(result);
}
