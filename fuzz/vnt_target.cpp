// A .vnt file played as the player does: opened with every track (streamed through the
// read-ahead ring) and once more preloaded, every frame decoded into a buffer with its changed
// rectangles and the sound of every track, then one jump back.
#include <cstdlib>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/harness_limits.h"
#include "fuzz/input_file.h"
#include "playback/vant.h"
#include "toolsupport/graphics_inputs.h"

namespace fuzz {
namespace {

constexpr int kTracks = 7;

// False when the video did not open or its picture is beyond the harness's limit.
bool PlayEveryFrame(const std::string& path, uint32_t openFlags, uint32_t bufferFlags) {
  VantVideo* video = VantOpen(path.c_str(), openFlags, VANT_EXTRA_BUFFER_AUTO);
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
    for (uint32_t frame = 0; frame < stored && frame < kMaxFrames; ++frame) {
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
  for (int32_t i = 0; i < description.frames && i < int32_t{kMaxFrames}; ++i) input->Read(frame, palette);
}

}  // namespace

int FuzzVnt(const uint8_t* data, size_t size) {
  static const bool silent = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;
  (void)silent;
  const std::string& path = WriteInputFile(data, size, ".vnt");
  if (path.empty()) return 0;
  if (!PlayEveryFrame(path, VANT_OPEN_ALL_TRACKS | VANT_OPEN_NEVER_SKIP, 0)) return 0;
  PlayEveryFrame(path, VANT_OPEN_PRELOAD, VANT_BUFFER_RGB565 | VANT_BUFFER_BOTTOM_UP);
  ReadAsPictureInput(path);
  return 0;
}

}  // namespace fuzz
