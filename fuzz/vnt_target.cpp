// A .vnt file played as the player does: streamed through the read-ahead ring and once more
// preloaded, every frame decoded into a buffer with its changed rectangles and the sound of every
// track, then one jump back. The tracks are decoded, not opened: an open track waits for a sound
// device in real time, far longer than a run may take.
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "playback/vant.h"
#include "toolsupport/picture/graphics_inputs.h"

namespace fuzz {
namespace {

constexpr int kTracks = 7;

// False when the video did not open or its picture is beyond the harness's limit.
bool PlayEveryFrame(const std::string& path, uint32_t openFlags, uint32_t ringSize, uint32_t bufferFlags) {
  VantVideo* video = VantOpen(path.c_str(), openFlags, ringSize);
  if (video == nullptr) return false;
  const VideoFileHeader& header = video->header;
  const uint64_t pixelBytes = (bufferFlags & VANT_BUFFER_16_BIT) ? 2 : 1;
  const uint64_t pitch = (uint64_t{header.width} * pixelBytes + 3) / 4 * 4;
  const bool fits = header.width > 0 && header.height > 0 && uint64_t{header.width} * header.height <= kMaxPixels;
  if (fits) {
    std::vector<uint8_t> pixels(pitch * header.height);
    VantToBuffer(video, 0, 0, static_cast<int32_t>(pitch), static_cast<int32_t>(header.height),
                 pixels.data(), bufferFlags);
    std::vector<uint8_t> sound;
    const uint32_t stored = header.frames + (header.flags & 1);
    const int32_t frames = FramesToDecode(uint64_t{header.width} * header.height, stored);
    for (int32_t frame = 0; frame < frames; ++frame) {
      VantDoFrame(video);
      for (uint32_t rects = 0; rects < kMaxEntries && VantToBufferRect(video, VANT_RECT_MERGE); ++rects) {
      }
      for (int t = 0; t < kTracks; ++t) {
        if (header.audioSizes[t] == 0 || header.audioSizes[t] > kMaxSoundBytes) continue;
        sound.resize(header.audioSizes[t]);
        VantGetTrackData(video, sound.data(), VANT_OPEN_TRACK_0 << t);
      }
      VantNextFrame(video);
    }
    VantGoto(video, static_cast<int32_t>(stored / 2));
    VantDoFrame(video);
    VantToBuffer(video, 0, 0, 0, 0, nullptr, 0);
  }
  VantSummaryInfo summary;
  VantSummary(video, &summary);
  VantClose(video);
  return fits;
}

// The tools' reading of a .vnt input: every frame through the picture input.
void ReadAsPictureInput(const std::string& path) {
  toolsupport::InputDescription description;
  std::unique_ptr<toolsupport::FrameInput> input = toolsupport::OpenVntInput(path, description);
  if (!input) return;
  toolsupport::InputFrame frame;
  std::array<uint8_t, 768> palette{};
  const uint64_t pixels = uint64_t(description.width) * uint64_t(description.height);
  const int32_t frames = FramesToDecode(pixels, description.frames);
  for (int32_t i = 0; i < frames; ++i) input->Read(frame, palette);
}

}  // namespace

int FuzzVnt(const uint8_t* data, size_t size) {
  const std::string& path = WriteInputFile(data, size, ".vnt");
  if (path.empty()) return 0;
  // The smallest ring, so that a video of more than a few frames wraps it often.
  if (!PlayEveryFrame(path, VANT_OPEN_FILL_BUFFER, 8192, 0)) return 0;
  PlayEveryFrame(path, VANT_OPEN_PRELOAD, VANT_EXTRA_BUFFER_AUTO, VANT_BUFFER_RGB565 | VANT_BUFFER_BOTTOM_UP);
  ReadAsPictureInput(path);
  return 0;
}

}  // namespace fuzz
