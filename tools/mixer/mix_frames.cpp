#include "tools/mixer/mix_frames.h"

#include <algorithm>
#include <string>

#include "toolsupport/ui/tool_run.h"
#include "playback/video_file_format.h"

namespace mixer {
namespace {

using toolsupport::BufferedFile;

constexpr char kDamagedMessage[] = "Error reading the input Vantrel file: it is damaged or cut short.";
constexpr char kSoundMessage[] = "Error: the sound data could not be compressed.";

MixResult Failed(toolsupport::Status status) {
  MixResult result;
  result.status = std::move(status);
  return result;
}

MixResult Failed(const char* error) { return Failed(toolsupport::Status::Error(error)); }

}  // namespace

int64_t FramePeriodSwitch(int32_t value) {
  int64_t period = 0;
  if (value == 0) return 0;
  if (value < -1500) {
    period = -int64_t{value};
  } else if (value < 0) {
    period = -int64_t{value} * 100;
  } else {
    period = 100000 / value;
  }
  return std::max<int64_t>(period, 5);
}

MixResult MixSoundFrames(BufferedFile& input, BufferedFile& output, MixTables& tables, uint32_t track,
                         uint32_t period, toolsupport::SoundTrackEncoder& encoder,
                         const toolsupport::Progress& progress) {
  const uint64_t bytesPerSecond = encoder.format.BytesPerSecond();
  const uint8_t trackBit = vntfile::TypeAudio(track);
  const size_t frames = tables.sizes.size();
  uint64_t soundGiven = 0;
  uint32_t largest = 0;
  std::vector<uint8_t> frame;
  for (size_t i = 0; i < frames; ++i) {
    const std::string status =
        "Mixing sound data into frame " + std::to_string(i + 1) + " of " + std::to_string(frames) + "...";
    if (progress.ShowAndCheck(toolsupport::ProgressKind::Status, status)) return Failed(toolsupport::Status::Stopped());

    // The whole frame, after checking that the file holds it.
    const uint32_t size = tables.sizes[i];
    const int64_t at = input.Seek(-1);
    if (at < 0 || static_cast<uint64_t>(input.Size() - at) < size) {
      return Failed(kDamagedMessage);
    }
    frame.resize(size);
    if (input.Read(frame.data(), size) != size) return Failed(kDamagedMessage);

    uint8_t type = tables.types[i];
    uint64_t pos = 0;
    if (type & vntfile::kTypePalette) {
      const uint64_t length = size > 0 ? uint64_t{frame[0]} * 4 : 0;
      if (length == 0 || length > size) return Failed(kDamagedMessage);
      output.WriteRaw(frame.data(), length);
      pos = length;
    }
    uint64_t outSize = size;
    for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
      if (type & vntfile::TypeAudio(t)) {
        if (size - pos < 4) return Failed(kDamagedMessage);
        const uint32_t length = vntfile::LoadLE32(frame.data() + pos);
        if (length < 4 || length % 4 != 0 || length > size - pos) return Failed(kDamagedMessage);
        if (t == track) {
          outSize -= length;  // the old chunk of the track is dropped
        } else {
          output.WriteRaw(frame.data() + pos, length);
        }
        pos += length;
      }
      if (t != track) continue;
      const uint32_t request =
          toolsupport::SoundRequestForFrame(static_cast<uint32_t>(i), period, bytesPerSecond, soundGiven);
      if (!toolsupport::CompressAudioChunk(request, encoder)) return Failed(kSoundMessage);
      if (toolsupport::Status read = encoder.source->ReadStatus(); !read.ok()) return Failed(read);
      if (encoder.last_sound_bytes > 0) {
        outSize += encoder.last_chunk_length;
        type = static_cast<uint8_t>(type | trackBit);
        largest = std::max(largest, encoder.last_sound_bytes);
        soundGiven += encoder.last_sound_bytes;
      } else {
        type = static_cast<uint8_t>(type & ~trackBit);
      }
    }
    output.WriteRaw(frame.data() + pos, size - pos);
    if (output.WriteError()) return Failed(toolsupport::Status::Error(toolsupport::WriteErrorText(output.WriteErrorNumber())));
    if (outSize > UINT32_MAX) return Failed(kDamagedMessage);
    tables.sizes[i] = static_cast<uint32_t>(outSize);
    tables.types[i] = type;
  }
  MixResult result;
  result.largestChunkSound = largest;
  return result;
}

}  // namespace mixer
