#pragma once
// The sound of one track of a .vnt video, frame by frame through the playback library.
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/sound/sound_streams.h"

struct VantVideo;

namespace toolsupport {

class VideoSoundStream : public SoundByteStream {
 public:
  enum class Result { kFound, kNotVideo, kNoSoundInTrack, kNoSound };

  ~VideoSoundStream() override;
  // Opens `name` as a video and picks track `track` (1-7, above 7 taken as 7; 0 the first
  // track with sound). The sound lasts as long as the video's frames.
  static Result Open(const std::string& name, int32_t track, std::unique_ptr<VideoSoundStream>& stream);

  PcmFormat format() const { return format_; }
  uint32_t framePeriod() const { return framePeriod_; }
  // Drops `skip` bytes at the start and keeps at most `length` bytes after them.
  void Cut(uint64_t skip, uint64_t length);

  size_t Read(uint8_t* destination, size_t count) override;
  bool Restart() override;
  uint64_t Size() const override { return length_; }
  bool EndedEarly() const override { return endedEarly_; }

 private:
  size_t ReadTrack(uint8_t* destination, size_t count);

  VantVideo* video_ = nullptr;
  uint32_t trackBit_ = 0;
  PcmFormat format_;
  uint32_t framePeriod_ = 0;
  uint32_t frames_ = 0;
  std::unique_ptr<uint8_t[]> chunk_;  // one frame's sound, the header's audio size of the track
  uint32_t chunkBytes_ = 0, chunkPosition_ = 0;
  uint32_t framesRead_ = 0;
  uint64_t skip_ = 0, length_ = 0, given_ = 0;
  bool endedEarly_ = false;  // a frame could not be read whole
};

}  // namespace toolsupport
