// Build tool: make_icon MAP ICO turns the text pixel map of the main icon into an .ico file.
#include "res/IconMap.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

// Plain C files: iostreams would make this little tool four times larger.
using TFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool ReadFile(const char* name, std::string& text) {
  TFile file(std::fopen(name, "rb"), std::fclose);
  if (!file) return false;
  char buffer[4096];
  std::size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, count);
  return !std::ferror(file.get());
}

bool WriteFile(const char* name, const std::string& bytes) {
  TFile file(std::fopen(name, "wb"), std::fclose);
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  // Closing flushes, so its failure is a failed write too.
  return std::fclose(file.release()) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon MAP.txt ICON.ico\n");
    return 2;
  }
  const char* mapName = argv[1];
  const char* iconName = argv[2];
  std::string text;
  if (!ReadFile(mapName, text)) {
    std::fprintf(stderr, "make_icon: cannot read %s\n", mapName);
    return 1;
  }
  std::string icon;
  try {
    icon = EncodeIcon(ParseIconMap(text));
  } catch (const TIconMapError& error) {
    if (error.Line() > 0) {
      std::fprintf(stderr, "%s:%d: error: %s\n", mapName, error.Line(), error.what());
    } else {
      std::fprintf(stderr, "%s: error: %s\n", mapName, error.what());
    }
    return 1;
  }
  // A half-written icon must not look up to date to the next build.
  if (!WriteFile(iconName, icon)) {
    std::remove(iconName);
    std::fprintf(stderr, "make_icon: cannot write %s\n", iconName);
    return 1;
  }
  return 0;
}
