#include "settings/IniKova.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/Text.h"

namespace {

struct TOwner : TComponent {
  using TComponent::LoadComponents;
  TOwner() : TComponent(nullptr) {}
};

// The system's own answers, to compare the store's paths with.
std::string ExeDirectory() {
  std::string name(32768, '\0');
  name.resize(GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size())));
  return name.substr(0, name.rfind('\\') + 1);
}

std::string WindowsDirectory() {
  std::string directory(32768, '\0');
  directory.resize(GetWindowsDirectoryA(directory.data(), static_cast<UINT>(directory.size())));
  return directory;
}

std::string StorePath(TIniKovaDefaultDir defaultDir, const std::string& fileName) {
  TOwner owner;
  auto& store = owner.Create<TIniKova>(TIniKova::TSettings{defaultDir, fileName, fnNone});
  owner.LoadComponents();
  return store.IniFile().Path();
}

TEST(IniKovaPath, NameWithoutDirectoryIsPlacedByDefaultDirectory) {
  const std::string exe = ExeDirectory();
  const std::string windows = WindowsDirectory();
  const struct {
    TIniKovaDefaultDir defaultDir;
    const char* fileName;
    std::string path;
  } cases[] = {
      {ddApplication, "Vimbrel.ini", exe + "Vimbrel.ini"},
      {ddWindows, "Vimbrel.ini", windows + "\\Vimbrel.ini"},
      {ddNone, "Vimbrel.ini", "Vimbrel.ini"},
      {ddApplication, "C:\\cfg\\a.ini", "C:\\cfg\\a.ini"},
      {ddWindows, "C:\\cfg\\a.ini", "C:\\cfg\\a.ini"},
      {ddNone, "C:\\cfg\\a.ini", "C:\\cfg\\a.ini"},
      {ddApplication, "C:a.ini", "C:a.ini"},
      {ddWindows, "C:a.ini", "C:a.ini"},
      {ddApplication, "sub\\a.ini", "sub\\a.ini"},
      // No name at all: the test program's own, settings_tests.exe.
      {ddApplication, "", exe + "Settings_tests.ini"},
      {ddWindows, "", windows + "\\Settings_tests.ini"},
      {ddNone, "", "Settings_tests.ini"},
  };
  ASSERT_FALSE(windows.empty());
  for (const auto& c : cases)
    EXPECT_EQ(StorePath(c.defaultDir, c.fileName), c.path)
        << static_cast<int>(c.defaultDir) << " " << c.fileName;
}

TEST(IniKovaPath, NameEndingInTheByteOfABackslashIsBareOnlyWhereThatByteIsATrailByte) {
  // 表.ini in Shift-JIS; under a single-byte code page it reads as a directory "\x95\" and a
  // name ".ini".
  const std::string name = "\x95\x5C.ini";
  const std::string expected = GetACP() == 932 ? ExeDirectory() + name : name;
  EXPECT_EQ(StorePath(ddApplication, name), expected) << "code page " << GetACP();
}

TEST(IniKovaPath, EverySettingInLayoutOrderReplacesTheAccessor) {
  TOwner owner;
  const std::string exe = ExeDirectory();
  auto& store = owner.Create<TIniKova>();
  EXPECT_EQ(store.IniFile().Path(), "");
  EXPECT_EQ(store.DefaultDir(), ddApplication);
  EXPECT_EQ(store.Fence(), fnNone);

  // Layout data sets DefaultDir while the name is still empty: the accessor holds the bare
  // directory until the name arrives.
  store.SetDefaultDir(ddApplication);
  EXPECT_EQ(store.IniFile().Path(), exe);
  store.SetFileName("Vimbrel.ini");
  EXPECT_EQ(store.IniFile().Path(), exe + "Vimbrel.ini");
  store.SetFence(fnDoubleQuote);
  EXPECT_EQ(store.IniFile().Path(), exe + "Vimbrel.ini");

  // The same directory again still gives a new accessor.
  const TIniFile* before = &store.IniFile();
  store.SetDefaultDir(ddApplication);
  EXPECT_NE(&store.IniFile(), before);
  EXPECT_EQ(store.IniFile().Path(), exe + "Vimbrel.ini");

  store.SetDefaultDir(ddWindows);
  EXPECT_EQ(store.IniFile().Path(), WindowsDirectory() + "\\Vimbrel.ini");
  store.SetDefaultDir(ddNone);
  EXPECT_EQ(store.IniFile().Path(), "Vimbrel.ini");
  // A name given by the layout is kept by Loaded.
  owner.LoadComponents();
  EXPECT_EQ(store.FileName(), "Vimbrel.ini");
  EXPECT_EQ(store.IniFile().Path(), "Vimbrel.ini");
}

// Each test gets a fresh folder of its own, removed afterwards.
class IniKovaFile : public ::testing::Test {
protected:
  void SetUp() override {
    std::string temp(MAX_PATH + 1, '\0');
    temp.resize(GetTempPathA(static_cast<DWORD>(temp.size()), temp.data()));
    FFolder = temp + "vimbrel-settings-" + std::to_string(GetCurrentProcessId()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(FFolder.c_str(), nullptr)) << FFolder;
  }
  void TearDown() override {
    FOwner.reset();
    std::error_code ignored;
    std::filesystem::remove_all(FFolder, ignored);
  }

  std::string PathOf(const std::string& name) const { return FFolder + "\\" + name; }

  TIniKova& Store(const std::string& name) {
    return FOwner->Create<TIniKova>(TIniKova::TSettings{ddNone, PathOf(name), fnNone});
  }

  void WriteBytes(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }

  std::vector<std::string> Lines(const std::string& name) const {
    std::ifstream file(PathOf(name), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
      const auto end = bytes.find("\r\n", at);
      lines.push_back(bytes.substr(at, end - at));
      at = end == std::string::npos ? bytes.size() : end + 2;
    }
    return lines;
  }

  std::string FFolder;
  std::unique_ptr<TOwner> FOwner = std::make_unique<TOwner>();
};

TEST_F(IniKovaFile, IntegersAreWrittenInDecimalAndReadBack) {
  auto& store = Store("integers.ini");
  const struct {
    const char* key;
    int value;
    const char* line;
  } cases[] = {
      {"Zero", 0, "Zero=0"},
      {"Left", 812, "Left=812"},
      {"Minus", -5, "Minus=-5"},
      {"Least", INT_MIN, "Least=-2147483648"},
      {"Most", INT_MAX, "Most=2147483647"},
  };
  std::vector<std::string> lines{"[Vimbrel]"};
  for (const auto& c : cases) {
    store.WriteInteger("Vimbrel", c.key, c.value);
    lines.push_back(c.line);
  }
  // Every write reaches the file at once.
  EXPECT_EQ(Lines("integers.ini"), lines);
  for (const auto& c : cases) EXPECT_EQ(store.ReadInteger("Vimbrel", c.key, 77), c.value) << c.key;
}

TEST_F(IniKovaFile, TextsInTheFileReadAsIntegersOrTheDefault) {
  const struct {
    const char* line;
    int read;
  } cases[] = {
      {"0x1F", 31},
      {"$FFFFFFFF", -1},
      {"x1F", 31},
      {"0x", 77},
      {"12abc", 77},
      {"-2147483648", INT_MIN},
      {"2147483648", 77},
      {"1 2", 77},
      {"true", 77},
      {"", 77},
      // The system trims blanks around a value and takes off a pair of quotes; the blank
      // inside the quotes reaches the reader, which refuses a trailing one.
      {"  12  ", 12},
      {"\"12\"", 12},
      {"\" 12\"", 12},
      {"\"12 \"", 77},
  };
  std::string bytes = "[Vimbrel]\r\n";
  for (std::size_t i = 0; i < std::size(cases); ++i)
    bytes += "K" + std::to_string(i) + "=" + cases[i].line + "\r\n";
  WriteBytes("texts.ini", bytes);
  auto& store = Store("texts.ini");
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(store.ReadInteger("Vimbrel", "K" + std::to_string(i), 77), cases[i].read)
        << '"' << cases[i].line << '"';
}

TEST_F(IniKovaFile, MissingFileSectionOrKeyGivesTheDefault) {
  auto& missing = Store("missing.ini");
  EXPECT_EQ(missing.ReadInteger("Vimbrel", "AlphaValue", 200), 200);
  EXPECT_TRUE(missing.ReadBool("Vimbrel", "Alpha", true));
  EXPECT_FALSE(std::filesystem::exists(PathOf("missing.ini")));

  WriteBytes("other.ini", "[Other]\r\nAlphaValue=5\r\n[Vimbrel]\r\nAlpha=1\r\n");
  auto& other = Store("other.ini");
  EXPECT_EQ(other.ReadInteger("Vimbrel", "AlphaValue", 200), 200);
  EXPECT_EQ(other.ReadInteger("Other", "AlphaValue", 200), 5);
}

TEST_F(IniKovaFile, BooleansAreWrittenAsOneAndZero) {
  auto& store = Store("bools.ini");
  store.WriteBool("Vimbrel", "On", true);
  store.WriteBool("Vimbrel", "Off", false);
  EXPECT_EQ(Lines("bools.ini"), (std::vector<std::string>{"[Vimbrel]", "On=1", "Off=0"}));
  EXPECT_TRUE(store.ReadBool("Vimbrel", "On", false));
  EXPECT_FALSE(store.ReadBool("Vimbrel", "Off", true));
}

TEST_F(IniKovaFile, AnyNonZeroIntegerReadsAsTrueAndNonIntegersAsTheDefault) {
  WriteBytes("read-bools.ini",
             "[Vimbrel]\r\nTwo=2\r\nMinus=-1\r\nHex=$10\r\nZero=0\r\nWord=true\r\n");
  auto& store = Store("read-bools.ini");
  for (const bool fallback : {false, true}) {
    EXPECT_TRUE(store.ReadBool("Vimbrel", "Two", fallback));
    EXPECT_TRUE(store.ReadBool("Vimbrel", "Minus", fallback));
    EXPECT_TRUE(store.ReadBool("Vimbrel", "Hex", fallback));
    EXPECT_FALSE(store.ReadBool("Vimbrel", "Zero", fallback));
    EXPECT_EQ(store.ReadBool("Vimbrel", "Word", fallback), fallback);
    EXPECT_EQ(store.ReadBool("Vimbrel", "Absent", fallback), fallback);
  }
}

// Stands in for a form or control: only its edges matter here.
struct TFakeControl {
  int FLeft = 0;
  int FTop = 0;
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  void SetLeft(int value) { FLeft = value; }
  void SetTop(int value) { FTop = value; }
};

TEST_F(IniKovaFile, PositionWithOnlyTheXKeyMovesOnlyHorizontally) {
  WriteBytes("x-only.ini", "[Vimbrel]\r\nWindow.X=812\r\nOther.Y=4\r\n");
  auto& store = Store("x-only.ini");
  TFakeControl control{100, 33};
  store.ReadPosition("Vimbrel", "Window", control);
  EXPECT_EQ(control.Left(), 812);
  EXPECT_EQ(control.Top(), 33);

  TFakeControl untouched{-20, 7};
  store.ReadPosition("Vimbrel", "Absent", untouched);
  EXPECT_EQ(untouched.Left(), -20);
  EXPECT_EQ(untouched.Top(), 7);
}

TEST_F(IniKovaFile, PositionIsWrittenXThenYAndReadBackAsStored) {
  auto& store = Store("position.ini");
  store.WritePosition("Vimbrel", "Window", TFakeControl{-3000, 4});
  EXPECT_EQ(Lines("position.ini"),
            (std::vector<std::string>{"[Vimbrel]", "Window.X=-3000", "Window.Y=4"}));
  TFakeControl control{1, 2};
  store.ReadPosition("Vimbrel", "Window", control);
  EXPECT_EQ(control.Left(), -3000);
  EXPECT_EQ(control.Top(), 4);
}

TEST_F(IniKovaFile, RefusedWriteRaisesTheErrorNamingTheFile) {
  // A folder where the file should be: the system cannot write it even for root.
  ASSERT_TRUE(CreateDirectoryA(PathOf("blocked.ini").c_str(), nullptr));
  auto& store = Store("blocked.ini");
  // "%s に書き込めません" with the path in place of %s.
  const std::wstring expected =
      FromAnsi(PathOf("blocked.ini")) +
      FromShiftJis(" \x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1");
  const auto messageOf = [](const auto& write) -> std::wstring {
    try {
      write();
    } catch (const Exception& error) {
      return error.Message();
    }
    return L"(nothing raised)";
  };
  EXPECT_EQ(messageOf([&] { store.WriteInteger("Vimbrel", "AlphaValue", 150); }), expected);
  EXPECT_EQ(messageOf([&] { store.WriteBool("Vimbrel", "Alpha", true); }), expected);
  EXPECT_EQ(messageOf([&] { store.WritePosition("Vimbrel", "Window", TFakeControl{}); }), expected);
  // Reading the same place still just gives the default.
  EXPECT_EQ(store.ReadInteger("Vimbrel", "AlphaValue", 200), 200);
}

}  // namespace
