#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The main icon is kept as a text pixel map so that a reviewer can read and change it; the
// build turns the map into an .ico file.

inline constexpr int kIconSize = 32;
inline constexpr int kTransparent = -1;

struct TRgb {
  std::uint8_t Red, Green, Blue;
};

// The 16 colours every VGA card and every Windows display can show, in palette order.
extern const std::array<TRgb, 16> kVgaPalette;

// Palette indexes (or kTransparent), row by row from the top.
struct TIconMap {
  std::vector<int> Pixels;
  int At(int x, int y) const { return Pixels[y * kIconSize + x]; }
};

// Line is the 1-based line of the map text at fault, 0 when the fault is the map as a whole.
class TIconMapError : public std::runtime_error {
public:
  TIconMapError(int line, const std::string& message) : std::runtime_error(message), FLine(line) {}
  int Line() const noexcept { return FLine; }

private:
  int FLine;
};

TIconMap ParseIconMap(std::string_view text);

// A complete .ico file: one 32 x 32 image, 4 bits per pixel, with its AND mask.
std::string EncodeIcon(const TIconMap& map);
