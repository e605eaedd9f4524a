// Feeds any bytes to the directory-part rule, as a name in Shift-JIS and in a single-byte code
// page, and checks for each input what must hold of the part it finds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "settings/IniKovaRules.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsSingleByte(unsigned char) {
  return false;
}

std::size_t CheckedDirectoryPart(std::string_view name, const TLeadByteTest& isLeadByte) {
  const std::size_t length = DirectoryPartLength(name, isLeadByte);
  Check(length <= name.size());
  if (length != 0) Check(name[length - 1] == '\\' || name[length - 1] == ':');
  // The part ends on a character of its own, so the same reading of it and of the rest holds:
  // the part is its own directory part and the rest has none.
  Check(DirectoryPartLength(name.substr(0, length), isLeadByte) == length);
  Check(DirectoryPartLength(name.substr(length), isLeadByte) == 0);
  return length;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A heap block of exactly the input's size: a read one past its end is caught.
  const auto bytes = std::make_unique<char[]>(size);
  if (size != 0) std::memcpy(bytes.get(), data, size);
  const std::string_view name(bytes.get(), size);

  const std::size_t inShiftJis = CheckedDirectoryPart(name, IsShiftJisLeadByte);
  const std::size_t inSingleByte = CheckedDirectoryPart(name, IsSingleByte);
  // Every byte is a character of its own in a single-byte code page.
  const std::size_t last = name.find_last_of("\\:");
  Check(inSingleByte == (last == std::string_view::npos ? 0 : last + 1));
  // A separator that counts in Shift-JIS counts there too, so its part is never longer.
  Check(inShiftJis <= inSingleByte);
  return 0;
}
