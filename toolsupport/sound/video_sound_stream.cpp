#include "toolsupport/sound/video_sound_stream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "playback/vant.h"

namespace toolsupport {
namespace {

constexpr uint32_t kTrackPresent = 1u << 30;
constexpr uint32_t kRateMask = 0xFFFFFF;
// A frame's sound beyond this is taken for a damaged header rather than allocated.
constexpr uint32_t kLargestFrameSound = 64u << 20;

bool HasSound(uint32_t rateWord) { return (rateWord & kTrackPresent) && (rateWord & kRateMask); }

}  // namespace

VideoSoundStream::~VideoSoundStream() { VantClose(video_); }

VideoSoundStream::Result VideoSoundStream::Open(const std::string& name, int32_t track,
                                                std::unique_ptr<VideoSoundStream>& stream) {
  VantVideo* video = VantOpen(name.c_str(), 0, 0);
  if (!video) return Result::kNotVideo;
  auto opened = std::unique_ptr<VideoSoundStream>(new VideoSoundStream);
  opened->video_ = video;
  const VideoFileHeader& header = video->header;
  int32_t t = -1;
  if (track > 0) {
    t = std::min(track, 7) - 1;
    if (!HasSound(header.soundRates[t])) return Result::kNoSoundInTrack;
  } else {
    for (int32_t i = 0; i < 7 && t < 0; ++i) {
      if (HasSound(header.soundRates[i])) t = i;
    }
    if (t < 0) return Result::kNoSound;
  }
  const uint32_t word = header.soundRates[t];
  const uint32_t audioSize = header.audioSizes[t];
  if (audioSize == 0 || audioSize > kLargestFrameSound) return track > 0 ? Result::kNoSoundInTrack : Result::kNoSound;
  opened->chunk_.reset(new (std::nothrow) uint8_t[audioSize]);
  if (!opened->chunk_) return Result::kNoSound;
  opened->trackBit_ = VANT_OPEN_TRACK_0 << t;
  opened->format_.rate = word & kRateMask;
  opened->format_.bits = (word & (1u << 29)) ? 16 : 8;
  opened->format_.channels = (word & (1u << 28)) ? 2 : 1;
  opened->framePeriod_ = video->framePeriod;
  opened->frames_ = header.frames;
  // The sound that plays while the frames are shown, for coded and raw tracks alike (the first
  // frame's chunk carries a second more, ahead of the pictures).
  const uint64_t bytes = uint64_t{video->framePeriod} * header.frames * opened->format_.BytesPerSecond() / 100000;
  opened->length_ = bytes / 4 * 4 / opened->format_.FrameBytes() * opened->format_.FrameBytes();
  stream = std::move(opened);
  return Result::kFound;
}

void VideoSoundStream::Cut(uint64_t skip, uint64_t length) {
  skip_ = skip;
  length_ = length;
  Restart();
}

size_t VideoSoundStream::ReadTrack(uint8_t* destination, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (chunkPosition_ == chunkBytes_) {
      if (framesRead_ >= frames_) break;
      chunkBytes_ = VantGetTrackData(video_, chunk_.get(), trackBit_);
      chunkPosition_ = 0;
      if (video_->readFailed) {  // the frames are cut short: the sound ends here
        endedEarly_ = true;
        framesRead_ = frames_;
        chunkBytes_ = 0;
        break;
      }
      if (++framesRead_ < frames_) VantNextFrame(video_);
      continue;
    }
    const size_t n = std::min<size_t>(count - done, chunkBytes_ - chunkPosition_);
    if (destination) std::memcpy(destination + done, chunk_.get() + chunkPosition_, n);
    chunkPosition_ += static_cast<uint32_t>(n);
    done += n;
  }
  return done;
}

size_t VideoSoundStream::Read(uint8_t* destination, size_t count) {
  count = static_cast<size_t>(std::min<uint64_t>(count, length_ - given_));
  const size_t got = ReadTrack(destination, count);
  given_ += got;
  return got;
}

bool VideoSoundStream::Restart() {
  VantGoto(video_, 1);
  chunkBytes_ = chunkPosition_ = 0;
  framesRead_ = 0;
  given_ = 0;
  endedEarly_ = video_->readFailed != 0;
  // Sound before the cut is decoded and dropped.
  uint64_t skip = skip_;
  while (skip > 0) {
    const size_t got = ReadTrack(nullptr, static_cast<size_t>(std::min<uint64_t>(skip, 1u << 20)));
    if (got == 0) break;
    skip -= got;
  }
  return true;
}

}  // namespace toolsupport
