// An AVI file's video frames decoded in order, then its first frame again (run-length frames
// build on the one before, so this decodes from the start once more).
#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "toolsupport/picture/avi_reader.h"

namespace fuzz {

int FuzzAvi(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".avi");
  toolsupport::AviReader reader;
  if (path.empty() || !reader.Open(path)) return 0;
  if (uint64_t(reader.width()) * uint64_t(reader.height()) > kMaxPixels) return 0;
  const int32_t frames = FramesToDecode(uint64_t(reader.width()) * uint64_t(reader.height()), reader.frames());
  for (int32_t i = 0; i < frames; ++i) reader.DecodeFrame(i);
  if (reader.frames() > 0) reader.DecodeFrame(0);
  return 0;
}

}  // namespace fuzz
