// Writes the demo's input: a generated animation with a tone as an AVI file.
// Usage: vantcw_demo_clip <output.avi> [width height frames framesPerSecond]
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "compressor/demo/demo_clip.h"

namespace {

void PrintUsage(std::FILE* to, const char* program) {
  std::fprintf(to,
               "Usage: %s <output.avi> [width height frames framesPerSecond]\n"
               "Writes a generated animation with a tone as an AVI file (default 320 240 90 15).\n",
               program);
}

// A whole positive number, nothing else.
bool ReadCount(const char* text, uint32_t& value) {
  if (text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  const unsigned long number = std::strtoul(text, &end, 10);
  if (*end != '\0' || number == 0 || number > 1000000) return false;
  value = static_cast<uint32_t>(number);
  return true;
}

// A word that begins with '/' names a file only when its folder (other than the root) exists;
// otherwise it is a switch, as the toolkit's programs read their command words.
bool IsSwitch(const char* word) {
  if (word[0] != '/') return false;
  const std::string path = word;
  const size_t slash = path.rfind('/');
  struct stat folder {};
  return slash == 0 || stat(path.substr(0, slash).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                    std::strcmp(argv[1], "/?") == 0)) {
    PrintUsage(stdout, argv[0]);
    return 0;
  }
  // Options and switches are refused rather than taken for the name of the file to write.
  bool option = false;
  for (int i = 1; i < argc; ++i) option = option || argv[i][0] == '-' || IsSwitch(argv[i]);
  if ((argc != 2 && argc != 6) || option) {
    if (option) std::fprintf(stderr, "Unknown option.\n");
    PrintUsage(stderr, argv[0]);
    return 1;
  }
  uint32_t width = 320, height = 240, frames = 90, fps = 15;
  if (argc == 6) {
    if (!ReadCount(argv[2], width) || !ReadCount(argv[3], height) || !ReadCount(argv[4], frames) ||
        !ReadCount(argv[5], fps) || width > 4096 || height > 4096) {
      std::fprintf(stderr, "Width, height, frames and frames per second must be positive whole numbers"
                           " (width and height up to 4096).\n");
      return 1;
    }
  }
  if (!democlip::WriteAvi(argv[1], democlip::MakeDemoClip(width, height, frames, fps))) {
    std::fprintf(stderr, "Cannot write %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
