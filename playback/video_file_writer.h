#pragma once
// Writes a .vnt file from finished pieces: the tree data and, per frame, its palette chunk,
// audio chunks and video data. The header and tables are written as placeholders first and
// filled in by Finish, so frames can be streamed out one at a time.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "playback/vant.h"

namespace vntfile {

struct FrameBlocks {
  std::vector<uint8_t> palette;               // a whole palette chunk, or empty for none
  std::array<std::vector<uint8_t>, 7> audio;  // whole audio chunks (length word first), or empty
  std::vector<uint8_t> video;                 // the frame's video data
};

class VideoFileWriter {
 public:
  VideoFileWriter() = default;
  VideoFileWriter(const VideoFileWriter&) = delete;
  VideoFileWriter& operator=(const VideoFileWriter&) = delete;
  ~VideoFileWriter();  // a file that was not finished is deleted

  // Creates `path` and writes the placeholders and the tree data, padded so that the first
  // frame starts at a multiple of 512. With `ringFrame` the last of frameCount + 1 frames added
  // is the ring frame.
  bool Begin(const std::string& path, uint32_t frameCount, bool ringFrame,
             std::span<const uint8_t> treeData);

  // Appends one frame, padded to a multiple of 4. Fails on blocks whose own length fields
  // disagree with their size, and after the last frame.
  bool AddFrame(const FrameBlocks& frame);

  // Writes the header and both tables over the placeholders and closes the file. `header`
  // gives width, height, frame rate, the height-scaling flags, audio sizes, tree sizes and rate
  // words; magic, frame count, ring flag and tree data size are filled in here.
  bool Finish(VideoFileHeader header);

  // Closes and deletes an unfinished file.
  void Abandon();

  const std::vector<uint32_t>& frameSizes() const { return sizes_; }
  const std::vector<uint8_t>& frameTypes() const { return types_; }
  uint32_t treeDataSize() const { return treeDataSize_; }

 private:
  bool WriteAll(std::span<const uint8_t> bytes);

  std::string path_;
  int fd_ = -1;
  uint32_t frameCount_ = 0;
  bool ringFrame_ = false;
  uint64_t storedFrames_ = 0;
  uint32_t treeDataSize_ = 0;
  std::vector<uint32_t> sizes_;
  std::vector<uint8_t> types_;
};

}  // namespace vntfile
