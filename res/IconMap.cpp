#include "res/IconMap.h"

#include <cctype>
#include <cstdio>
#include <map>

const std::array<TRgb, 16> kVgaPalette = {{
    {0x00, 0x00, 0x00},
    {0x80, 0x00, 0x00},
    {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80},
    {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80},
    {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00},
    {0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF},
    {0xFF, 0x00, 0xFF},
    {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF},
}};

namespace {

constexpr char kTransparentCharacter = '.';

// A stray tab or a UTF-8 byte must show up in the message as what it is.
std::string Describe(char character) {
  const auto code = static_cast<unsigned char>(character);
  if (std::isgraph(code)) return std::string("'") + character + "'";
  char text[24];
  std::snprintf(text, sizeof text, "character 0x%02X", code);
  return text;
}

// A legend line is a character, a space and a palette index; the rest names the colour.
bool IsLegendLine(std::string_view line) {
  return line.size() >= 2 && line[1] == ' ';
}

int ParseLegendIndex(std::string_view rest, int lineNumber) {
  std::size_t position = rest.find_first_not_of(' ');
  int index = 0;
  std::size_t digits = 0;
  while (position < rest.size() && std::isdigit(static_cast<unsigned char>(rest[position]))) {
    index = index * 10 + (rest[position] - '0');
    ++position;
    if (++digits > 2) break;
  }
  const bool ended = position >= rest.size() || rest[position] == ' ';
  if (digits == 0 || digits > 2 || !ended || index > 15) {
    throw TIconMapError(lineNumber,
                        "a legend line is a character, a space and a palette index from 0 to 15");
  }
  return index;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

void PutWord(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLong(std::string& out, unsigned long value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, (value >> 16) & 0xFFFF);
}

// Bitmap rows are padded to whole 32-bit words.
constexpr int RowBytes(int bitsPerPixel) {
  return (kIconSize * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

TIconMap ParseIconMap(std::string_view text) {
  std::map<char, int> legend;
  TIconMap map;
  int rows = 0;
  int lineNumber = 0;
  for (std::string_view line : SplitLines(text)) {
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    if (IsLegendLine(line)) {
      if (rows > 0) throw TIconMapError(lineNumber, "the legend must come before the pixels");
      const char character = line.front();
      if (character == kTransparentCharacter) {
        throw TIconMapError(lineNumber, "'.' is transparent and cannot stand for a colour");
      }
      if (!std::isgraph(static_cast<unsigned char>(character))) {
        throw TIconMapError(lineNumber, Describe(character) + " cannot stand for a colour");
      }
      const int index = ParseLegendIndex(line.substr(2), lineNumber);
      if (!legend.emplace(character, index).second) {
        throw TIconMapError(lineNumber, Describe(character) + " is in the legend twice");
      }
      continue;
    }
    if (rows == kIconSize) {
      throw TIconMapError(lineNumber,
                          "the map has more than " + std::to_string(kIconSize) + " rows of pixels");
    }
    if (line.size() != kIconSize) {
      throw TIconMapError(lineNumber, "the row has " + std::to_string(line.size()) +
                                          " pixels; every row needs " + std::to_string(kIconSize));
    }
    for (std::size_t column = 0; column < line.size(); ++column) {
      const char character = line[column];
      if (character == kTransparentCharacter) {
        map.Pixels.push_back(kTransparent);
        continue;
      }
      auto found = legend.find(character);
      if (found == legend.end()) {
        throw TIconMapError(lineNumber, Describe(character) + " in column " +
                                            std::to_string(column + 1) + " is not in the legend");
      }
      map.Pixels.push_back(found->second);
    }
    ++rows;
  }
  if (rows != kIconSize) {
    throw TIconMapError(0, "the map has " + std::to_string(rows) + " rows of pixels; it needs " +
                               std::to_string(kIconSize));
  }
  return map;
}

std::string EncodeIcon(const TIconMap& map) {
  constexpr int kColourBytes = RowBytes(4) * kIconSize;
  constexpr int kMaskBytes = RowBytes(1) * kIconSize;
  constexpr int kHeaderBytes = 40;
  constexpr int kImageBytes = kHeaderBytes + 16 * 4 + kColourBytes + kMaskBytes;
  constexpr int kDirectoryBytes = 6 + 16;

  std::string out;
  PutWord(out, 0);  // reserved
  PutWord(out, 1);  // an icon, not a cursor
  PutWord(out, 1);  // one image
  out += static_cast<char>(kIconSize);
  out += static_cast<char>(kIconSize);
  out += static_cast<char>(16);  // colours
  out += static_cast<char>(0);
  PutWord(out, 1);  // planes
  PutWord(out, 4);  // bits per pixel
  PutLong(out, kImageBytes);
  PutLong(out, kDirectoryBytes);

  PutLong(out, kHeaderBytes);
  PutLong(out, kIconSize);
  PutLong(out, 2 * kIconSize);  // the colour bitmap and the mask stacked
  PutWord(out, 1);
  PutWord(out, 4);
  PutLong(out, 0);  // BI_RGB
  PutLong(out, kColourBytes + kMaskBytes);
  PutLong(out, 0);
  PutLong(out, 0);
  PutLong(out, 0);
  PutLong(out, 0);
  for (const TRgb& colour : kVgaPalette) {
    out += static_cast<char>(colour.Blue);
    out += static_cast<char>(colour.Green);
    out += static_cast<char>(colour.Red);
    out += static_cast<char>(0);
  }

  // Both bitmaps run bottom-up. A transparent pixel is black in the colour bitmap and set in
  // the mask, so the screen behind it stays as it was.
  for (int y = kIconSize - 1; y >= 0; --y) {
    std::string row(RowBytes(4), '\0');
    for (int x = 0; x < kIconSize; ++x) {
      const int index = map.At(x, y) == kTransparent ? 0 : map.At(x, y);
      row[x / 2] = static_cast<char>(row[x / 2] | (x % 2 == 0 ? index << 4 : index));
    }
    out += row;
  }
  for (int y = kIconSize - 1; y >= 0; --y) {
    std::string row(RowBytes(1), '\0');
    for (int x = 0; x < kIconSize; ++x) {
      if (map.At(x, y) == kTransparent)
        row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    out += row;
  }
  return out;
}
