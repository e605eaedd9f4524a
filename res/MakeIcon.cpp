// Build tool: make_icon MAP ICO turns the text pixel map of the main icon into an .ico file.
#include "res/IconMap.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool ReadFile(const char* name, std::string& text) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return !in.bad();
}

bool WriteFile(const char* name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
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
