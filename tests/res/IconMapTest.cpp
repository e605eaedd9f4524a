#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/IconMap.h"
#include "tests/res/IconPixels.h"

namespace {

using TRows = std::vector<std::string>;

TRows EmptyRows() {
  return TRows(kIconSize, std::string(kIconSize, '.'));
}

std::string MapText(const TRows& legend, const TRows& rows) {
  std::string text;
  for (const std::string& line : legend) text += line + "\n";
  for (const std::string& line : rows) text += line + "\n";
  return text;
}

TEST(IconMap, ReadsTheLegendAndPaintsEachPixelWithItsIndex) {
  TRows rows = EmptyRows();
  rows[2][3] = 'Y';
  rows[31][31] = 'k';
  rows[0][31] = 'Y';
  // Comments and blank lines anywhere, and line ends from a Windows checkout.
  std::string text = "# a comment\r\nk 0  black\r\n\r\nY 11 yellow #FFFF00\r\n";
  for (const std::string& row : rows) text += row + "\r\n# between rows\r\n";

  const TIconMap map = ParseIconMap(text);
  ASSERT_EQ(map.Pixels.size(), static_cast<std::size_t>(kIconSize * kIconSize));
  EXPECT_EQ(map.At(3, 2), 11);
  EXPECT_EQ(map.At(31, 31), 0);
  EXPECT_EQ(map.At(31, 0), 11);
  EXPECT_EQ(map.At(0, 0), kTransparent);
  EXPECT_EQ(map.At(2, 3), kTransparent);
}

TEST(IconMap, RejectsMalformedMapsNamingTheLineAndTheFault) {
  const TRows legend = {"# colours", "k 0 black", "Y 11 yellow"};
  const int firstRow = 4;
  auto withRow = [](int y, std::string row) {
    TRows rows = EmptyRows();
    rows[y] = std::move(row);
    return rows;
  };
  auto withPixel = [](int x, int y, char pixel) {
    TRows rows = EmptyRows();
    rows[y][x] = pixel;
    return rows;
  };
  TRows shortMap = EmptyRows();
  shortMap.pop_back();
  TRows longMap = EmptyRows();
  longMap.push_back(std::string(kIconSize, '.'));
  TRows lateLegend = EmptyRows();
  lateLegend.insert(lateLegend.begin() + 1, "W 15 white");

  const struct {
    const char* fault;
    std::string text;
    int line;
    std::string message;
  } cases[] = {
      {"short row", MapText(legend, withRow(5, std::string(31, '.'))), firstRow + 5,
       "the row has 31 pixels; every row needs 32"},
      {"long row", MapText(legend, withRow(0, std::string(33, 'k'))), firstRow,
       "the row has 33 pixels; every row needs 32"},
      {"row with trailing blank", MapText(legend, withRow(7, std::string(32, '.') + " ")),
       firstRow + 7, "the row has 33 pixels; every row needs 32"},
      {"too few rows", MapText(legend, shortMap), 0, "the map has 31 rows of pixels; it needs 32"},
      {"no rows", MapText(legend, {}), 0, "the map has 0 rows of pixels; it needs 32"},
      {"too many rows", MapText(legend, longMap), firstRow + 32,
       "the map has more than 32 rows of pixels"},
      {"unknown character", MapText(legend, withPixel(6, 9, 'q')), firstRow + 9,
       "'q' in column 7 is not in the legend"},
      {"tab", MapText(legend, withPixel(0, 0, '\t')), firstRow,
       "character 0x09 in column 1 is not in the legend"},
      {"non-ASCII byte", MapText(legend, withPixel(31, 31, '\xE3')), firstRow + 31,
       "character 0xE3 in column 32 is not in the legend"},
      {"index above the palette", MapText({"k 16 black"}, EmptyRows()), 1,
       "a legend line is a character, a space and a palette index from 0 to 15"},
      {"index missing", MapText({"k black"}, EmptyRows()), 1,
       "a legend line is a character, a space and a palette index from 0 to 15"},
      {"index run into the name", MapText({"k 0black"}, EmptyRows()), 1,
       "a legend line is a character, a space and a palette index from 0 to 15"},
      {"long index", MapText({"k 001 black"}, EmptyRows()), 1,
       "a legend line is a character, a space and a palette index from 0 to 15"},
      {"character given twice", MapText({"k 0 black", "k 8 grey"}, EmptyRows()), 2,
       "'k' is in the legend twice"},
      {"transparent as a colour", MapText({". 0 black"}, EmptyRows()), 1,
       "'.' is transparent and cannot stand for a colour"},
      {"legend after the pixels", MapText(legend, lateLegend), firstRow + 1,
       "the legend must come before the pixels"},
  };
  for (const auto& c : cases) {
    try {
      ParseIconMap(c.text);
      ADD_FAILURE() << c.fault << ": accepted";
    } catch (const TIconMapError& error) {
      EXPECT_EQ(error.Line(), c.line) << c.fault;
      EXPECT_EQ(std::string(error.what()), c.message) << c.fault;
    }
  }
}

// The system's own icon reader is the judge of the file: every colour of the palette and the
// transparency must come back where the map put them, which a swapped nibble, a top-down
// row order or a mask bit in the wrong place would not survive.
TEST(IconEncoding, SystemDrawsEveryColourAndTransparentPixelWhereTheMapPutsThem) {
  TIconMap map;
  for (int y = 0; y < kIconSize; ++y) {
    for (int x = 0; x < kIconSize; ++x) map.Pixels.push_back((x + 3 * y) % 17 - 1);
  }
  const std::string file = EncodeIcon(map);

  // The directory entry must describe the one image that follows it.
  ASSERT_GE(file.size(), 22u);
  const auto word = [&](std::size_t at) {
    return static_cast<unsigned>(static_cast<unsigned char>(file[at]) |
                                 static_cast<unsigned char>(file[at + 1]) << 8);
  };
  EXPECT_EQ(word(2), 1u);  // icon
  EXPECT_EQ(word(4), 1u);  // one image
  const unsigned size = word(14) | word(16) << 16;
  const unsigned offset = word(18) | word(20) << 16;
  ASSERT_EQ(offset + size, file.size());

  std::string image = file.substr(offset);
  TUniqueIcon icon(CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()), size, TRUE,
                                            0x00030000, kIconSize, kIconSize, 0));
  ASSERT_TRUE(icon) << GetLastError();
  ExpectPixelsOf(map, DrawIconPixels(icon.Get()));
}

}  // namespace
