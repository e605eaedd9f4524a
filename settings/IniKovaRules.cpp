#include "settings/IniKovaRules.h"

#include <algorithm>
#include <vector>

namespace {

// Long paths end near 32767 characters; a fetch still asking for more is not telling the truth.
constexpr std::uint32_t kLargestText = 0x10000;

}  // namespace

std::size_t DirectoryPartLength(std::string_view fileName, const TLeadByteTest& isLeadByte) {
  std::size_t length = 0;
  for (std::size_t at = 0; at < fileName.size(); ++at) {
    const auto byte = static_cast<unsigned char>(fileName[at]);
    if (byte == '\\' || byte == ':') {
      length = at + 1;
    } else if (isLeadByte(byte)) {
      ++at;
    }
  }
  return length;
}

std::string DefaultIniName(std::string_view exeName) {
  std::string name(exeName.substr(0, exeName.rfind('.')));
  name += ".INI";
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (name.front() >= 'a' && name.front() <= 'z')
    name.front() = static_cast<char>(name.front() - 'a' + 'A');
  return name;
}

std::optional<std::string> FetchSizedText(std::uint32_t firstSize, const TFetchText& fetch) {
  std::uint32_t size = std::max<std::uint32_t>(firstSize, 1);
  // The text may change between two calls (another size each time); a few rounds settle it.
  for (int round = 0; round < 8 && size <= kLargestText; ++round) {
    std::vector<char> buffer(size);
    const std::uint32_t length = fetch(buffer.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) return std::string(buffer.data(), length);
    size = std::max(length, size + 1);
  }
  return std::nullopt;
}

std::optional<std::string> FetchTruncatedText(std::uint32_t firstSize, const TFetchText& fetch) {
  for (std::uint32_t size = std::max<std::uint32_t>(firstSize, 1); size <= kLargestText;
       size *= 2) {
    std::vector<char> buffer(size);
    const std::uint32_t length = fetch(buffer.data(), size);
    if (length == 0) return std::nullopt;
    if (length < size) return std::string(buffer.data(), length);
  }
  return std::nullopt;
}
