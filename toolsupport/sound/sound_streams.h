#pragma once
// The bytes of a sound input in its own format, and their conversion to another rate, sample
// size and channel count.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "toolsupport/sound/pcm_source.h"
#include "toolsupport/sound/sound_files.h"

namespace toolsupport {

// Sound bytes from the start of the cut to its end, in the source's own format.
class SoundByteStream {
 public:
  virtual ~SoundByteStream() = default;
  // Up to count bytes; fewer only when the sound has ended.
  virtual size_t Read(uint8_t* destination, size_t count) = 0;
  // Back to the first byte of the cut; false when the stream cannot go back.
  virtual bool Restart() = 0;
  // Bytes from the start of the cut to its end (the stream may end sooner when damaged).
  virtual uint64_t Size() const = 0;
  // True once a read found less in the file than it announced: the input is cut short.
  virtual bool EndedEarly() const { return false; }
};

// Pieces of one file read one after another: a WAV file's data, a raw file, the sound chunks of
// an AVI stream.
class SegmentStream : public SoundByteStream {
 public:
  SegmentStream(std::unique_ptr<InputFile> file, std::vector<FileSegment> segments);
  // Drops `skip` bytes at the start and keeps at most `length` bytes after them.
  void Cut(uint64_t skip, uint64_t length);
  size_t Read(uint8_t* destination, size_t count) override;
  bool Restart() override;
  uint64_t Size() const override { return size_; }
  bool EndedEarly() const override { return endedEarly_; }

 private:
  std::unique_ptr<InputFile> file_;
  bool endedEarly_ = false;
  std::vector<FileSegment> segments_;
  uint64_t size_ = 0;
  size_t segment_ = 0;  // the segment being read
  uint64_t offset_ = 0;  // bytes of it already read
};

// Delivers a byte stream in another PCM format. Rates: equal rates copy sample frames; a lower
// output rate averages the source frames that fall into each output frame; a higher one
// interpolates linearly between neighbouring source frames (10 fraction bits). Channels: a
// stereo source is averaged into mono, a mono source doubled into stereo. Sizes: 8-bit unsigned
// and 16-bit signed samples are widened to 16 bits and narrowed with rounding.
class SoundConverter {
 public:
  SoundConverter(SoundByteStream& stream, PcmFormat source, PcmFormat output);
  // Output bytes for the stream's whole size: source frames x output rate / source rate.
  uint64_t OutputBytes() const { return outputFrames_ * output_.FrameBytes(); }
  // Up to count bytes in whole output frames; fewer at the end.
  size_t Read(uint8_t* destination, size_t count);
  // Starts again with the stream, which the caller has restarted.
  void Restart();
  // Nothing more will come: all output frames given, or the stream ran dry.
  bool Exhausted() const { return dry_ || produced_ >= outputFrames_; }
  // Source bytes taken from the stream so far, in whole source frames.
  uint64_t SourceBytesTaken() const { return consumed_ * source_.FrameBytes(); }

 private:
  struct Frame {
    int32_t left = 0, right = 0;  // 16-bit samples offset by 0x8000 (0 to 0xFFFF)
  };
  bool PullFrame(Frame& frame);
  bool NextOutputFrame(Frame& frame);
  void StoreFrame(const Frame& frame, uint8_t* out) const;

  SoundByteStream& stream_;
  PcmFormat source_, output_;
  uint64_t outputFrames_ = 0;
  std::vector<uint8_t> buffer_;
  size_t position_ = 0, filled_ = 0;
  uint64_t produced_ = 0;  // output frames given
  uint64_t consumed_ = 0;  // source frames taken
  bool dry_ = false;
  // Interpolation: source frames current_ (number currentIndex_) and the one after it.
  Frame current_, next_;
  uint64_t currentIndex_ = 0;
  bool haveCurrent_ = false, haveNext_ = false;
};

}  // namespace toolsupport
