// Writes the toolkit's icon as PNG files for the desktop's icon theme.
// Usage: vant_icon_files FOLDER SIZE...   (writes FOLDER/SIZE.png for every size)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/gui/toolkit_icon.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "Usage: %s FOLDER SIZE...\n", argv[0]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    const std::string name = std::string(argv[1]) + "/" + argv[i] + ".png";
    if (size < 16 || size > 1024 || !platform::DrawToolkitIcon(size).save(name.c_str(), "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], name.c_str());
      return 1;
    }
  }
  return 0;
}
