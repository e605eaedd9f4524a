#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/MeterProcess.h"

using namespace std::chrono_literals;

namespace {

// What the meter holds after it has read the file: its left and top edge (none: where the
// system put the new window), its translucency flag and its opacity.
struct TLooks {
  std::optional<int> Left;
  std::optional<int> Top;
  bool Translucent;
  int Opacity;
};

const TLooks kDefaults{std::nullopt, std::nullopt, false, 200};
const TLooks kAsStored{321, 123, true, 150};

const char kGoodFile[] =
    "[Vimbrel]\r\nWindow.X=321\r\nWindow.Y=123\r\nAlpha=1\r\nAlphaValue=150\r\n";

enum class TObstacle { None, Directory, HeldAtStart };

struct TBadFile {
  const char* Name;
  std::string Content;
  TObstacle Obstacle;
  TLooks InShiftJis;  // what the meter reads under the ANSI code page 932
  TLooks InWestern;   // and under 1252
  // What the saved file still begins with: the user's own part that the save leaves alone.
  std::string KeptAtStart = {};
};

void PrintTo(const TBadFile& file, std::ostream* out) {
  *out << file.Name;
}

// Bytes that follow no format, the same on every run.
std::string Garbage(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string Utf16WithBom(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (const char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// Ten megabytes of other sections, to stand before the meter's own.
std::string OtherSections() {
  std::string content;
  content.reserve(10'100'000);
  for (int section = 0; content.size() < 10'000'000; ++section) {
    content += "[Other" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 20; ++key)
      content += "Key" + std::to_string(key) + "=some value that someone else keeps here\r\n";
  }
  return content;
}

std::vector<TBadFile> BadFiles() {
  const std::string longZeros(99'997, '0');
  const std::string otherSections = OtherSections();
  const std::string noVimbrelSection =
      "Window.X=321\r\nWindow.Y=123\r\nAlpha=1\r\nAlphaValue=150\r\n[Vimbre]\r\n"
      "Window.X=5\r\n[Vimbrel.ini]\r\nAlpha=1\r\n[Meter]\r\nAlphaValue=150\r\n";
  return {
      {"BinaryGarbage", Garbage(64 * 1024), TObstacle::None, kDefaults, kDefaults},
      {"TenMegabytes", otherSections + kGoodFile, TObstacle::None, kAsStored, kAsStored,
       otherSections},
      // The opacity's text is 150 with 99 997 zeros in front: more than a read can take.
      {"LineOf100000Characters",
       "[Vimbrel]\r\nAlphaValue=" + longZeros +
           "150\r\nWindow.X=321\r\nWindow.Y=123\r\nAlpha=1\r\n",
       TObstacle::None,
       {321, 123, true, 200},
       {321, 123, true, 200}},
      // 0x81 leads a double-byte character in code page 932 and takes the line end after it
      // for its second byte; in 1252 it is a character of its own.
      {"InvalidShiftJis",
       "[Vimbrel]\r\nWindow.X=321\r\nWindow.Y=123\x81\nAlpha=1\r\n\xFF\xFD\x80\xA0=\xEF\r\n"
       "AlphaValue=150\r\n",
       TObstacle::None,
       {321, std::nullopt, false, 150},
       {321, std::nullopt, true, 150}},
      // The system reads both and writes each back in its own encoding.
      {"Utf8WithBom", std::string("\xEF\xBB\xBF") + kGoodFile, TObstacle::None, kAsStored,
       kAsStored, "\xEF\xBB\xBF[Vimbrel]\r\n"},
      {"Utf16LeWithBom", Utf16WithBom(kGoodFile), TObstacle::None, kAsStored, kAsStored,
       Utf16WithBom("[Vimbrel]\r\n")},
      // Only the first [Vimbrel] section counts, and in it the first of each key.
      {"DuplicateSectionsAndKeys",
       "[Vimbrel]\r\nWindow.X=321\r\nWindow.X=999\r\nAlpha=1\r\n[Other]\r\nAlphaValue=9\r\n"
       "[Vimbrel]\r\nWindow.Y=123\r\nAlphaValue=150\r\n[VIMBREL]\r\nAlphaValue=77\r\n",
       TObstacle::None,
       {321, std::nullopt, true, 200},
       {321, std::nullopt, true, 200}},
      // A line without "=" is a key without a value, which hides a later line of that key.
      {"KeysWithoutEquals",
       "[Vimbrel]\r\nWindow.X\r\nWindow.X=321\r\nWindow.Y=123\r\nAlpha\r\nAlphaValue 150\r\n",
       TObstacle::None,
       {std::nullopt, 123, false, 200},
       {std::nullopt, 123, false, 200}},
      // The system trims blanks around keys and values and takes off a pair of quotes.
      {"ValuesWithBlanksAndQuotes",
       "[Vimbrel]\r\n  Window.X  =  321  \r\nWindow.Y=\"123\"\r\nAlpha = '1'\r\n"
       "AlphaValue=\" 150\"\r\n",
       TObstacle::None, kAsStored, kAsStored},
      {"NoVimbrelSection", noVimbrelSection, TObstacle::None, kDefaults, kDefaults,
       noVimbrelSection},
      {"FileIsADirectory", "", TObstacle::Directory, kDefaults, kDefaults},
      // A file the system cannot open reads as no file.
      {"HeldOpenWithoutSharingAtStart", kGoodFile, TObstacle::HeldAtStart, kDefaults, kDefaults},
  };
}

// The file opened as another program can hold it: for reading and writing, sharing nothing.
class THeldFile {
public:
  explicit THeldFile(const std::wstring& path)
      : FHandle(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  THeldFile(const THeldFile&) = delete;
  THeldFile& operator=(const THeldFile&) = delete;
  ~THeldFile() { Release(); }
  bool Held() const noexcept { return FHandle != INVALID_HANDLE_VALUE; }
  void Release() noexcept {
    if (Held()) CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
  }

private:
  HANDLE FHandle;
};

// Loads every processor for a while and then leaves them idle, over and over, so that the
// meter has a changing load to show.
class TChangingLoad {
public:
  TChangingLoad() {
    for (unsigned i = 0; i < std::max(1u, std::thread::hardware_concurrency()); ++i) {
      FThreads.emplace_back([this] {
        while (!FStop) {
          const auto busyUntil = std::chrono::steady_clock::now() + 700ms;
          while (!FStop && std::chrono::steady_clock::now() < busyUntil) {
          }
          std::this_thread::sleep_for(700ms);
        }
      });
    }
  }
  TChangingLoad(const TChangingLoad&) = delete;
  TChangingLoad& operator=(const TChangingLoad&) = delete;
  ~TChangingLoad() {
    FStop = true;
    for (std::thread& thread : FThreads) thread.join();
  }

private:
  std::atomic<bool> FStop{false};
  std::vector<std::thread> FThreads;
};

bool TicksWithin(const TMeterProcess& meter, std::chrono::milliseconds timeout) {
  TChangingLoad load;
  const std::wstring before = meter.MeterCaption();
  return WaitUntil([&] { return meter.MeterCaption() != before; }, timeout);
}

POINT TopLeft(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top};
}

bool IsLayered(HWND window) {
  return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

int ConstantAlpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!GetLayeredWindowAttributes(window, nullptr, &alpha, &flags) || !(flags & LWA_ALPHA))
    return -1;
  return alpha;
}

bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 3000, &result) != 0;
}

// Where the system puts the meter when there are no settings to read.
POINT SystemPlace() {
  TMeterProcess meter;
  meter.Start();
  return TopLeft(meter.Meter());
}

std::wstring CannotWriteMessage(const std::wstring& path) {
  // に書き込めません
  return path + L" \u306B\u66F8\u304D\u8FBC\u3081\u307E\u305B\u3093.";
}

// The file as text, whichever of the encodings with a byte order mark it is in.
std::string AsText(const std::string& bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
  if (bytes.rfind("\xFF\xFE", 0) != 0) return bytes;
  std::wstring wide((bytes.size() - 2) / 2, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i)
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                   static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
  std::string text;
  for (const wchar_t c : wide) text += c < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The keys of the file's first [Vimbrel] section with the first value each has there.
std::map<std::string, std::string> VimbrelKeys(const std::string& content) {
  std::map<std::string, std::string> keys;
  bool inSection = false;
  bool seenSection = false;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = Trimmed(content.substr(start, end - start));
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line = Trimmed(line.substr(0, line.size() - 1));
    if (!line.empty() && line.front() == '[') {
      if (inSection) break;
      inSection = !seenSection && line == "[Vimbrel]";
      seenSection = seenSection || inSection;
      continue;
    }
    const auto equals = line.find('=');
    if (inSection && equals != std::string::npos)
      keys.emplace(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
  return keys;
}

class BadSettings : public testing::TestWithParam<TBadFile> {};

TEST_P(BadSettings, MeterStartsRunsAndAfterAFailedCloseSavesAllFourKeys) {
  const TBadFile& bad = GetParam();
  const TLooks& expected = GetACP() == 932 ? bad.InShiftJis : bad.InWestern;
  const POINT systemPlace = SystemPlace();

  TMeterProcess meter;
  const std::wstring path = meter.SettingsPath();
  std::optional<THeldFile> held;
  if (bad.Obstacle == TObstacle::Directory) {
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  } else {
    meter.WriteSettings(bad.Content);
  }
  if (bad.Obstacle == TObstacle::HeldAtStart) {
    held.emplace(path);
    ASSERT_TRUE(held->Held());
  }

  meter.Start();
  ASSERT_TRUE(WaitUntil([&] { return meter.MeterCaption().rfind(L"Vimbrel - ", 0) == 0; }, 5s))
      << "no first tick";
  held.reset();

  const POINT place = TopLeft(meter.Meter());
  // A key the meter could not read leaves that edge where the system put the window.
  EXPECT_EQ(place.x, expected.Left.value_or(systemPlace.x));
  EXPECT_EQ(place.y, expected.Top.value_or(systemPlace.y));
  EXPECT_EQ(IsLayered(meter.Meter()), expected.Translucent);
  if (expected.Translucent) {
    EXPECT_EQ(ConstantAlpha(meter.Meter()), expected.Opacity);
  }
  EXPECT_TRUE(meter.Running());

  // The close cannot write: through the folder in the file's place, or the file held anew.
  if (bad.Obstacle != TObstacle::Directory) {
    held.emplace(path);
    ASSERT_TRUE(held->Held());
  }
  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  HWND box = meter.WaitForWindowOfClass(L"#32770", 10s);
  ASSERT_NE(box, nullptr) << "a close that could not write reported nothing";
  EXPECT_EQ(TMeterProcess::MessageBoxText(box), CannotWriteMessage(path));
  EXPECT_TRUE(meter.Running());
  EXPECT_TRUE(IsWindowVisible(meter.Meter()));
  EXPECT_TRUE(TicksWithin(meter, 5s)) << "the meter stopped ticking under the error box";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 3s));
  EXPECT_TRUE(meter.Running());
  EXPECT_TRUE(Answers(meter.Meter()));
  EXPECT_TRUE(IsWindowVisible(meter.Meter()));

  if (bad.Obstacle == TObstacle::Directory) {
    ASSERT_TRUE(RemoveDirectoryW(path.c_str()));
  } else {
    held.reset();
  }
  PostMessageW(meter.Meter(), WM_CLOSE, 0, 0);
  ASSERT_EQ(meter.WaitForExit(20s), 0u);
  const std::string saved = meter.ReadSettings();
  EXPECT_TRUE(saved.starts_with(bad.KeptAtStart)) << "the save lost what the file held before";
  const auto keys = VimbrelKeys(AsText(saved));
  const std::map<std::string, std::string> savedKeys{
      {"Window.X", std::to_string(place.x)},
      {"Window.Y", std::to_string(place.y)},
      {"Alpha", expected.Translucent ? "1" : "0"},
      {"AlphaValue", std::to_string(expected.Opacity)},
  };
  for (const auto& [key, value] : savedKeys) {
    const auto found = keys.find(key);
    ASSERT_NE(found, keys.end()) << key << " was lost";
    EXPECT_EQ(found->second, value) << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BadSettings, testing::ValuesIn(BadFiles()),
                         [](const auto& testCase) { return std::string(testCase.param.Name); });

}  // namespace
