// Writes the demo's input: a generated animation with a tone as an AVI file.
// Usage: vantcw_demo_clip <output.avi> [width height frames framesPerSecond]
#include <cstdio>
#include <cstdlib>

#include "demo_clip.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    std::fprintf(stderr, "Usage: %s <output.avi> [width height frames framesPerSecond]\n", argv[0]);
    return 1;
  }
  uint32_t width = 320, height = 240, frames = 90, fps = 15;
  if (argc == 6) {
    width = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    height = static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10));
    frames = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
    fps = static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10));
    if (width == 0 || height == 0 || frames == 0 || fps == 0 || width > 4096 || height > 4096) {
      std::fprintf(stderr, "Width, height, frames and frames per second must be positive.\n");
      return 1;
    }
  }
  if (!democlip::WriteAvi(argv[1], democlip::MakeDemoClip(width, height, frames, fps))) {
    std::fprintf(stderr, "Cannot write %s.\n", argv[1]);
    return 1;
  }
  return 0;
}
