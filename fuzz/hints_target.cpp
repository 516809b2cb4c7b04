// A hint file applied to the encoded frames of three layouts: every frame, every other frame,
// and one without a frame period (where shares of the file cannot be worked out).
#include "compressor/frame_hints.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/input_file.h"

namespace fuzz {

int FuzzHints(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".txt");
  if (path.empty()) return 0;
  struct Layout {
    compressor::HintLayout layout;
    compressor::InputRateFacts input;
  };
  const Layout layouts[] = {
      {{1, 120, false}, {200000, 120, -6667}},
      {{5, 61, true}, {200000, 120, 100}},
      {{1, 30, false}, {5000, 30, 0}},
  };
  for (const Layout& each : layouts) {
    compressor::FrameHints hints;
    compressor::ReadHintFile(path, each.layout, each.input, hints);
    for (uint32_t k = 0; k < each.layout.frames; ++k) hints.TargetFor(k, k % 10 == 0, 20, 240000);
  }
  return 0;
}

}  // namespace fuzz
