// A raw frame file read frame by frame, once more than it announces, then wound back.
#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "toolsupport/picture/graphics_inputs.h"

namespace fuzz {

int FuzzRawb(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".raw");
  toolsupport::InputDescription description;
  std::unique_ptr<toolsupport::FrameInput> input;
  if (!path.empty()) input = toolsupport::OpenRawInput(path, description);
  if (!input) return 0;
  toolsupport::InputFrame frame;
  std::array<uint8_t, 768> palette{};
  const uint64_t pixels = uint64_t(description.width) * uint64_t(description.height);
  const int32_t frames = FramesToDecode(pixels, int64_t{description.frames} + 1);
  for (int32_t i = 0; i < frames; ++i) input->Read(frame, palette);
  input->Rewind();
  input->Skip(1, {}, palette);
  input->Read(frame, palette);
  return 0;
}

}  // namespace fuzz
