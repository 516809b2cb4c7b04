#pragma once
// A reader of AVI files of our own: the RIFF structure, the first video stream
// and the first sound stream's format. Frames that are stored uncompressed (1, 4,
// 8, 16, 24 or 32 bits) or run-length coded (RLE8, RLE4) are decoded; other
// compressions are refused when the file is opened.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "toolsupport/io/riff_reader.h"

namespace toolsupport {

class AviReader {
 public:
  // Opens the file and indexes its video frames. False (with a reason in
  // error()) for anything this reader cannot deliver.
  bool Open(const std::string& path);
  const std::string& error() const { return error_; }

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Frames the file holds, and frames its header announces (never fewer).
  int32_t frames() const { return static_cast<int32_t>(samples_.size()); }
  int32_t announcedFrames() const { return announced_; }
  // Signed frame rate: minus the frame period in units of 10 microseconds.
  int32_t frameRate() const { return frameRate_; }
  // Bits per pixel of decoded frames: 8, 16 (5-5-5), 24 or 32.
  int32_t bitsPerPixel() const { return bits_ <= 8 ? 8 : bits_; }
  // Sound bytes that belong to each frame (0 without a sound stream).
  int64_t soundBytesPerFrame() const { return soundBytesPerFrame_; }

  // Decodes frame `index` (0-based). Run-length frames build on the frame before,
  // so frames are decoded in order from the last one decoded (or from the start).
  bool DecodeFrame(int32_t index);
  const uint8_t* pixels() const { return frame_.data(); }  // top row first
  ptrdiff_t pitch() const { return pitch_; }
  const std::array<uint8_t, 768>& palette() const { return palette_; }  // R, G, B
  // Bytes stored for frame `index`.
  uint32_t sampleSize(int32_t index) const { return samples_[index].size; }

 private:
  struct Sample {
    uint64_t offset = 0;
    uint32_t size = 0;
    int32_t paletteChange = -1;  // index into paletteChanges_ applied before this frame
  };
  struct PaletteChange {
    uint64_t offset = 0;
    uint32_t size = 0;
  };

  bool Fail(const std::string& why);
  bool WalkList(RiffChunkWalker walker, int depth);
  bool ReadStreamHeader(const RiffChunk& chunk);
  bool ReadStreamFormat(const RiffChunk& chunk);
  bool DecodeSample(const Sample& sample);
  void ApplyPaletteChange(const PaletteChange& change);

  RiffFile file_;
  std::string error_;

  // Stream being described while walking the headers.
  int32_t streamCount_ = 0;
  char currentStreamType_[4] = {};
  int32_t videoStream_ = -1;
  int32_t soundStream_ = -1;
  uint32_t videoScale_ = 0, videoRate_ = 0, videoLength_ = 0;
  uint32_t soundLength_ = 0;
  uint32_t soundChannels_ = 0, soundBits_ = 0;
  bool soundFormatRead_ = false;

  int32_t width_ = 0, height_ = 0, bits_ = 0;
  bool topDown_ = false;
  uint32_t compression_ = 0;
  int32_t frameRate_ = 0;
  int64_t soundBytesPerFrame_ = 0;

  std::vector<Sample> samples_;
  std::vector<PaletteChange> paletteChanges_;
  int32_t pendingPaletteChange_ = -1;
  std::array<uint8_t, 768> palette_{};
  std::array<uint8_t, 768> initialPalette_{};  // from the stream format
  std::vector<uint8_t> frame_;
  std::vector<uint8_t> sampleData_;
  ptrdiff_t pitch_ = 0;
  int32_t lastDecoded_ = -1;
  int32_t announced_ = 0;
};

}  // namespace toolsupport
