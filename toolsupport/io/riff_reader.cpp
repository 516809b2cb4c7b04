#include "toolsupport/io/riff_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace toolsupport {

bool RiffChunk::Is(const char* fourcc) const { return std::memcmp(id, fourcc, 4) == 0; }

InputFile::~InputFile() {
  if (fd_ >= 0) close(fd_);
}

bool InputFile::Open(const std::string& path) {
  if (fd_ >= 0) close(fd_);
  fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat info {};
  if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd_);
    fd_ = -1;
    return false;
  }
  size_ = static_cast<uint64_t>(info.st_size);
  return true;
}

bool RiffFile::Open(const std::string& path) {
  if (!InputFile::Open(path)) return false;
  uint8_t header[12];
  if (!ReadAt(0, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0) return false;
  std::memcpy(form_, header + 8, 4);
  declaredEnd_ = std::min<uint64_t>(size(), 8 + uint64_t{platform::LoadLE32(header + 4)});
  return true;
}

bool RiffFile::IsForm(const char* fourcc) const { return std::memcmp(form_, fourcc, 4) == 0; }

size_t InputFile::ReadSome(uint64_t offset, void* destination, size_t count) const {
  if (fd_ < 0 || offset >= size_) return 0;
  count = static_cast<size_t>(std::min<uint64_t>(count, size_ - offset));
  size_t done = 0;
  while (done < count) {
    ssize_t got = pread(fd_, static_cast<uint8_t*>(destination) + done, count - done,
                        static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

bool InputFile::ReadAt(uint64_t offset, void* destination, size_t count) const {
  if (offset > size_ || count > size_ - offset) return false;
  return ReadSome(offset, destination, count) == count;
}

RiffChunkWalker::RiffChunkWalker(const RiffFile& file, uint64_t start, uint64_t end)
    : file_(file), position_(start), end_(std::min(end, file.size())) {}

RiffChunkWalker RiffChunkWalker::Inside(const RiffFile& file, const RiffChunk& list) {
  const uint64_t start = list.size >= 4 ? list.data + 4 : list.data + list.size;
  return RiffChunkWalker(file, start, list.data + list.size);
}

bool RiffChunkWalker::Next(RiffChunk& chunk) {
  if (position_ >= end_ || end_ - position_ < 8) return false;
  uint8_t head[8];
  if (!file_.ReadAt(position_, head, sizeof head)) return false;
  std::memcpy(chunk.id, head, 4);
  chunk.declared = platform::LoadLE32(head + 4);
  chunk.data = position_ + 8;
  chunk.size = std::min(chunk.declared, end_ - chunk.data);
  position_ = chunk.data + chunk.declared + (chunk.declared & 1);
  return true;
}

bool ReadListType(const RiffFile& file, const RiffChunk& list, char type[4]) {
  return list.size >= 4 && file.ReadAt(list.data, type, 4);
}

int32_t StreamNumberOf(const RiffChunk& chunk) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!digit(chunk.id[0]) || !digit(chunk.id[1])) return -1;
  return (chunk.id[0] - '0') * 10 + (chunk.id[1] - '0');
}

}  // namespace toolsupport
