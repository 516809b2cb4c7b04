#include "toolsupport/io/buffered_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace toolsupport {

BufferedFile::BufferedFile(int32_t size)
    : buffer_size_(static_cast<uint32_t>(size > 0 ? int64_t{size} : -int64_t{size})) {
  if (size <= 0) EnsureBuffer();
  buffer_limit_ = buffer_position_ = buffer_size_;
}

BufferedFile::~BufferedFile() { Close(); }

// The position the next byte is read from or written to.
int64_t BufferedFile::LogicalPosition() const {
  if (writing_) return file_position_ + buffer_position_;
  return file_position_ - buffer_limit_ + buffer_position_;
}

bool BufferedFile::EnsureBuffer() {
  if (buffer_) return true;
  if (buffer_size_ > 0) {
    buffer_.reset(new (std::nothrow) uint8_t[buffer_size_]);
    if (buffer_) return true;
  }
  // No memory: every request goes straight to the system.
  buffer_size_ = buffer_limit_ = buffer_position_ = 0;
  return false;
}

// Writes all of count bytes at offset, retrying partial writes; returns the bytes
// written and sets the error flag when that is fewer.
size_t BufferedFile::SystemWrite(const uint8_t* source, size_t count, int64_t offset) {
  cached_size_ = -1;
  size_t done = 0;
  while (done < count) {
    ssize_t n = pwrite(handle_, source + done, count - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (!write_error_) write_errno_ = n < 0 ? errno : ENOSPC;  // nothing written: the disk is full
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (done < count) write_error_ = true;
  return done;
}

size_t BufferedFile::SystemRead(uint8_t* destination, size_t count, int64_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = pread(handle_, destination + done, count - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

// Writes the buffered bytes (writing mode) and empties the buffer.
void BufferedFile::FlushWriteBuffer() {
  if (buffer_position_ > 0) {
    file_position_ += SystemWrite(buffer_.get(), buffer_position_, file_position_);
    buffer_position_ = 0;
  }
}

// Leaves writing mode at the current logical position with an empty buffer.
void BufferedFile::SwitchToReading() {
  int64_t position = LogicalPosition();
  FlushWriteBuffer();
  writing_ = false;
  file_position_ = position;
  buffer_position_ = buffer_limit_;
}

// Pending bits stay: they were put for output and continue the stream.
void BufferedFile::SwitchToWriting() {
  int64_t position = LogicalPosition();
  writing_ = true;
  file_position_ = position;
  buffer_limit_ = buffer_size_;
  buffer_position_ = 0;
}

void BufferedFile::ResetOpenState(int handle, const char* name, bool writing) {
  handle_ = handle;
  name_ = name;
  writing_ = writing;
  file_position_ = 0;
  buffer_limit_ = buffer_size_;
  buffer_position_ = writing ? 0 : buffer_size_;
  cached_size_ = -1;
  pending_count = 0;
  partial_byte = 0;
}

int64_t BufferedFile::MeasureSize() {
  struct stat info {};
  cached_size_ = fstat(handle_, &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
  return cached_size_;
}

bool BufferedFile::Open(const char* name, FileAccess access) {
  Close();
  if (name == nullptr || *name == '\0') return false;
  int flags = (access == FileAccess::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  int handle;
  do handle = open(name, flags);
  while (handle < 0 && errno == EINTR);
  if (handle < 0) return false;
  struct stat info {};
  if (fstat(handle, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(handle);
    return false;
  }
  posix_fadvise(handle, 0, 0, POSIX_FADV_SEQUENTIAL);
  ResetOpenState(handle, name, false);
  return true;
}

bool BufferedFile::Create(const char* name) {
  Close();
  if (name == nullptr || *name == '\0') return false;
  int handle;
  do handle = open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  while (handle < 0 && errno == EINTR);
  if (handle < 0) return false;
  ResetOpenState(handle, name, true);
  return true;
}

void BufferedFile::Close() {
  if (!IsOpen()) return;
  if (pending_count) BitOutput::AlignBits();
  if (writing_) FlushWriteBuffer();
  close(handle_);
  handle_ = -1;
  writing_ = false;
  buffer_position_ = buffer_limit_;
  pending_count = 0;
  partial_byte = 0;
}

void BufferedFile::Flush() {
  if (IsOpen() && writing_) FlushWriteBuffer();
}

int64_t BufferedFile::Size() {
  if (!IsOpen()) return 0;
  int64_t size = MeasureSize();
  int64_t position = LogicalPosition();
  return size > position ? size : position;
}

int64_t BufferedFile::Seek(int64_t position) {
  if (!IsOpen()) return 0;
  int64_t before = LogicalPosition();
  if (position < 0 || position == before) return before;
  if (pending_count) BitOutput::AlignBits();
  if (writing_) {
    FlushWriteBuffer();
  } else {
    int64_t buffer_start = file_position_ - buffer_limit_;
    if (position >= buffer_start && position < file_position_ && buffer_position_ < buffer_limit_) {
      buffer_position_ = static_cast<uint32_t>(position - buffer_start);
      return before;
    }
    buffer_position_ = buffer_limit_;
  }
  file_position_ = position;
  return before;
}

bool BufferedFile::AtEnd() {
  if (!IsOpen()) return true;
  if (cached_size_ < 0) MeasureSize();
  return LogicalPosition() >= cached_size_;
}

size_t BufferedFile::ReadRaw(void* destination, size_t count) {
  if (count == 0 || !IsOpen()) return 0;
  // Bits put for output are completed before the stream is read.
  if (pending_count) BitOutput::AlignBits();
  if (writing_) SwitchToReading();
  EnsureBuffer();
  auto* out = static_cast<uint8_t*>(destination);
  size_t total = 0;
  for (;;) {
    size_t available = buffer_limit_ - buffer_position_;
    size_t take = available < count - total ? available : count - total;
    if (take > 0) {
      std::memcpy(out + total, buffer_.get() + buffer_position_, take);
      buffer_position_ += static_cast<uint32_t>(take);
      total += take;
    }
    size_t remaining = count - total;
    if (remaining == 0) return total;
    if (remaining >= buffer_size_) {
      // Large requests bypass the buffer, which is left used up.
      size_t got = SystemRead(out + total, remaining, file_position_);
      file_position_ += static_cast<int64_t>(got);
      buffer_limit_ = buffer_position_ = 0;
      return total + got;
    }
    size_t got = SystemRead(buffer_.get(), buffer_size_, file_position_);
    buffer_limit_ = static_cast<uint32_t>(got);
    buffer_position_ = 0;
    file_position_ += static_cast<int64_t>(got);
    if (got == 0) return total;
  }
}

int BufferedFile::GetByte() {
  if (buffer_ && !writing_ && pending_count == 0 && buffer_position_ < buffer_limit_) {
    return buffer_[buffer_position_++];
  }
  uint8_t byte;
  return Read(&byte, 1) == 1 ? byte : -1;
}

size_t BufferedFile::WriteRaw(const void* source, size_t count) {
  if (count == 0 || !IsOpen()) return 0;
  EnsureBuffer();
  if (!writing_) SwitchToWriting();
  const auto* in = static_cast<const uint8_t*>(source);
  size_t total = 0;
  for (;;) {
    size_t remaining = count - total;
    size_t room = buffer_limit_ - buffer_position_;
    if (room > 0 && (buffer_position_ > 0 || remaining <= buffer_limit_)) {
      size_t take = room < remaining ? room : remaining;
      std::memcpy(buffer_.get() + buffer_position_, in + total, take);
      buffer_position_ += static_cast<uint32_t>(take);
      total += take;
      if (total == count) return total;
      remaining = count - total;
    }
    FlushWriteBuffer();
    if (remaining < buffer_limit_) continue;
    size_t written = SystemWrite(in + total, remaining, file_position_);
    file_position_ += static_cast<int64_t>(written);
    return total + written;
  }
}

// Small values take the buffer directly when it is ready for them.
void BufferedFile::PutLittleEndian(uint32_t value, unsigned bytes) {
  uint8_t data[4];
  for (unsigned i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
  if (buffer_ && writing_ && pending_count == 0 && IsOpen() && buffer_limit_ - buffer_position_ >= bytes) {
    std::memcpy(buffer_.get() + buffer_position_, data, bytes);
    buffer_position_ += bytes;
    return;
  }
  Write(data, bytes);
}

const char* BufferedFile::Name(std::string* destination) const {
  if (!IsOpen()) return nullptr;
  if (destination) *destination = name_;
  return name_.c_str();
}

char* BufferedFile::ReadLine(char* destination, size_t maximum) {
  if (destination == nullptr || maximum == 0) return destination;
  size_t stored = 0;
  while (stored + 1 < maximum) {
    int c = GetByte();
    if (c < 0) break;
    destination[stored++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  while (stored > 0 && (destination[stored - 1] == '\n' || destination[stored - 1] == '\r')) --stored;
  destination[stored] = '\0';
  return destination;
}

}  // namespace toolsupport
