#include "playback/video_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "playback/video_file_format.h"

namespace vntfile {

namespace {

bool IsPaletteChunk(const std::vector<uint8_t>& chunk) {
  return chunk.size() >= 4 && chunk.size() % 4 == 0 && chunk.size() == size_t(chunk[0]) * 4;
}

bool IsAudioChunk(const std::vector<uint8_t>& chunk) {
  return chunk.size() >= 4 && chunk.size() % 4 == 0 && LoadLE32(chunk.data()) == chunk.size();
}

}  // namespace

VideoFileWriter::~VideoFileWriter() { Abandon(); }

void VideoFileWriter::Abandon() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
  unlink(path_.c_str());
}

bool VideoFileWriter::WriteAll(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    ssize_t done = write(fd_, bytes.data(), bytes.size());
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(done));
  }
  return true;
}

bool VideoFileWriter::Begin(const std::string& path, uint32_t frameCount, bool ringFrame,
                            std::span<const uint8_t> treeData) {
  Abandon();
  if (frameCount == 0) return false;
  path_ = path;
  frameCount_ = frameCount;
  ringFrame_ = ringFrame;
  storedFrames_ = uint64_t(frameCount) + (ringFrame ? 1 : 0);
  sizes_.clear();
  types_.clear();

  const uint64_t tablesEnd = kHeaderSize + 5 * storedFrames_;
  const uint64_t treeEnd = tablesEnd + treeData.size();
  const uint64_t treeDataSize = treeData.size() + PaddingTo(treeEnd, kFirstFrameAlignment);
  if (treeDataSize > UINT32_MAX) return false;
  treeDataSize_ = static_cast<uint32_t>(treeDataSize);

  fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  std::vector<uint8_t> start(tablesEnd, 0);  // placeholders for header and tables
  start.insert(start.end(), treeData.begin(), treeData.end());
  start.resize(tablesEnd + treeDataSize, 0);
  if (!WriteAll(start)) {
    Abandon();
    return false;
  }
  return true;
}

bool VideoFileWriter::AddFrame(const FrameBlocks& frame) {
  if (fd_ < 0 || sizes_.size() >= storedFrames_) return false;
  if (!frame.palette.empty() && !IsPaletteChunk(frame.palette)) return false;
  for (const auto& chunk : frame.audio) {
    if (!chunk.empty() && !IsAudioChunk(chunk)) return false;
  }

  std::vector<uint8_t> bytes;
  uint8_t type = 0;
  if (!frame.palette.empty()) {
    type |= kTypePalette;
    bytes.insert(bytes.end(), frame.palette.begin(), frame.palette.end());
  }
  for (uint32_t t = 0; t < kTrackCount; ++t) {
    if (frame.audio[t].empty()) continue;
    type |= TypeAudio(t);
    bytes.insert(bytes.end(), frame.audio[t].begin(), frame.audio[t].end());
  }
  bytes.insert(bytes.end(), frame.video.begin(), frame.video.end());
  bytes.resize(bytes.size() + PaddingTo(bytes.size(), kFramePadding), 0);
  if (bytes.size() > UINT32_MAX) return false;
  if (!WriteAll(bytes)) return false;
  sizes_.push_back(static_cast<uint32_t>(bytes.size()));
  types_.push_back(type);
  return true;
}

bool VideoFileWriter::Finish(VideoFileHeader header) {
  if (fd_ < 0 || sizes_.size() != storedFrames_) return false;
  std::memcpy(header.magic, kMagic, 4);
  header.frames = frameCount_;
  header.flags = (header.flags & ~kFlagRingFrame) | (ringFrame_ ? kFlagRingFrame : 0);
  header.treeDataSize = treeDataSize_;
  header.reserved = 0;

  std::vector<uint8_t> start(kHeaderSize + 5 * storedFrames_);
  SerializeHeader(header, start.data());
  uint8_t* p = start.data() + kHeaderSize;
  for (uint32_t size : sizes_) {
    StoreLE32(p, size);
    p += 4;
  }
  std::memcpy(p, types_.data(), types_.size());
  if (lseek(fd_, 0, SEEK_SET) != 0 || !WriteAll(start)) return false;
  if (close(fd_) != 0) {
    fd_ = -1;
    unlink(path_.c_str());
    return false;
  }
  fd_ = -1;
  return true;
}

}  // namespace vntfile
