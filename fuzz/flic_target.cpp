// A flic decoded frame by frame past its end (where it starts again), then wound to its middle.
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "toolsupport/picture/flic_reader.h"

namespace fuzz {

int FuzzFlic(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".flc");
  toolsupport::FlicReader reader;
  if (path.empty() || !toolsupport::OpenFlic(reader, path)) return 0;
  if (uint64_t(reader.paddedWidth) * uint64_t(reader.paddedHeight) <= kMaxPixels) {
    std::vector<uint8_t> frame(size_t(reader.paddedWidth) * size_t(reader.paddedHeight));
    const int32_t frames = FramesToDecode(frame.size(), int64_t{reader.frames} + 1);
    for (int32_t i = 0; i < frames; ++i) toolsupport::DecodeFlicFrame(reader, frame.data());
    if (frames > reader.frames) toolsupport::RewindFlic(reader, reader.frames / 4, frame.data());
  }
  toolsupport::CloseFlicReader(reader);
  return 0;
}

}  // namespace fuzz
