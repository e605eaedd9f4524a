#include "framework/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "tests/sampler/SamplerTestSupport.h"

namespace {

// The program's key and value names are Shift-JIS: 濃さ.
constexpr char kJapaneseName[] = "\x94\x5A\x82\xB3";
const std::wstring kJapaneseWide = L"\u6FC3\u3055";

class Registry : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Root);
    Reader.SetRootKey(Root.Get());
  }
  TScratchKey Root;
  TRegistry Reader{KEY_READ};
};

TEST_F(Registry, AFailedOpenKeepsTheKeyThatWasOpen) {
  Root.Set(L"First", L"size", REG_BINARY, {1, 2, 3});
  ASSERT_TRUE(Reader.OpenKey("\\First"));
  const HKEY first = Reader.CurrentKey();
  EXPECT_FALSE(Reader.OpenKey("\\Missing"));
  EXPECT_EQ(Reader.CurrentKey(), first);
  EXPECT_EQ(Reader.GetDataSize("size"), 3);
  // Opening without leave to create creates nothing.
  EXPECT_FALSE(Root.Exists(L"Missing"));
}

TEST_F(Registry, APathFromTheRootStartsWithABackslashAnyOtherFromTheOpenKey) {
  Root.Set(L"Outer\\Inner", L"where", REG_BINARY, {1});
  Root.Set(L"Inner", L"where", REG_BINARY, {1, 2});
  ASSERT_TRUE(Reader.OpenKey("\\Outer"));
  ASSERT_TRUE(Reader.OpenKey("Inner"));
  EXPECT_EQ(Reader.GetDataSize("where"), 1);
  ASSERT_TRUE(Reader.OpenKey("\\Inner"));
  EXPECT_EQ(Reader.GetDataSize("where"), 2);
}

TEST_F(Registry, OpenKeyCreatesOnlyWhenAllowed) {
  TRegistry writer(KEY_ALL_ACCESS);
  writer.SetRootKey(Root.Get());
  EXPECT_TRUE(writer.OpenKey("\\Made\\Here", true));
  EXPECT_TRUE(Root.Exists(L"Made\\Here"));
}

TEST_F(Registry, NamesAreTheProgramsShiftJisTextsWhateverTheAnsiCodePage) {
  Root.Set(kJapaneseWide, kJapaneseWide, REG_BINARY, {0x5A, 0x5B});
  ASSERT_TRUE(Reader.OpenKey(std::string("\\") + kJapaneseName));
  EXPECT_EQ(Reader.GetDataSize(kJapaneseName), 2);
  std::array<unsigned char, 4> buffer{};
  EXPECT_EQ(Reader.ReadBinaryData(kJapaneseName, buffer.data(), 4), 2);
  EXPECT_EQ(buffer, (std::array<unsigned char, 4>{0x5A, 0x5B, 0, 0}));
}

TEST_F(Registry, BinaryDataOfAtMostTheBufferIsReadAndTextOrDwordIsRefused) {
  const struct {
    const char* what;
    DWORD type;
    std::vector<unsigned char> data;
    std::optional<int> read;  // none: refused
  } cases[] = {
      {"four binary bytes", REG_BINARY, {1, 2, 3, 4}, 4},
      {"three binary bytes", REG_BINARY, {1, 2, 3}, 3},
      {"no bytes", REG_BINARY, {}, 0},
      {"five binary bytes", REG_BINARY, {1, 2, 3, 4, 5}, std::nullopt},
      {"another type counts as binary", REG_NONE, {9, 8}, 2},
      {"so does a multi-string", REG_MULTI_SZ, {'a', 0, 0, 0}, 4},
      {"a DWORD", REG_DWORD, {1, 0, 0, 0}, std::nullopt},
      {"a string", REG_SZ, {'a', 0}, std::nullopt},
      {"an expandable string", REG_EXPAND_SZ, {'a', 0}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Root.Set(L"Values", kJapaneseWide, c.type, c.data);
    ASSERT_TRUE(Reader.OpenKey("\\Values"));
    EXPECT_EQ(Reader.GetDataSize(kJapaneseName), static_cast<int>(c.data.size()));
    std::array<unsigned char, 4> buffer{0xEE, 0xEE, 0xEE, 0xEE};
    try {
      const int read = Reader.ReadBinaryData(kJapaneseName, buffer.data(), 4);
      ASSERT_TRUE(c.read.has_value()) << "not refused";
      EXPECT_EQ(read, *c.read);
      for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer[i], i < read ? c.data[i] : 0xEE) << "byte " << i;
    } catch (const Exception& error) {
      EXPECT_FALSE(c.read.has_value()) << "refused";
      EXPECT_EQ(error.Message(), InvalidDataTypeMessage(kJapaneseWide));
    }
  }
}

TEST_F(Registry, AMissingValueHasNoSizeAndReadsAsNothing) {
  Root.CreateKey(L"Empty");
  ASSERT_TRUE(Reader.OpenKey("\\Empty"));
  EXPECT_EQ(Reader.GetDataSize("none"), -1);
  std::array<unsigned char, 4> buffer{0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(Reader.ReadBinaryData("none", buffer.data(), 4), 0);
  EXPECT_EQ(buffer, (std::array<unsigned char, 4>{0xEE, 0xEE, 0xEE, 0xEE}));
}

}  // namespace
