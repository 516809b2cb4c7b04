#include "toolsupport/io/buffered_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace toolsupport {
namespace {

bool IsOpen(const BufferedFile& file) { return file.handle >= 0; }

// The position the next byte is read from or written to.
int64_t LogicalPosition(const BufferedFile& file) {
  if (file.writing) return file.file_position + file.buffer_position;
  return file.file_position - file.buffer_limit + file.buffer_position;
}

bool EnsureBuffer(BufferedFile& file) {
  if (file.buffer) return true;
  if (file.buffer_size > 0) {
    file.buffer.reset(new (std::nothrow) uint8_t[file.buffer_size]);
    if (file.buffer) return true;
  }
  // No memory: every request goes straight to the system.
  file.buffer_size = file.buffer_limit = file.buffer_position = 0;
  return false;
}

// Writes all of count bytes at offset, retrying partial writes; returns the bytes
// written and sets the error flag when that is fewer.
size_t SystemWrite(BufferedFile& file, const uint8_t* source, size_t count, int64_t offset) {
  file.cached_size = -1;
  size_t done = 0;
  while (done < count) {
    ssize_t n = pwrite(file.handle, source + done, count - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (done < count) file.write_error = 1;
  return done;
}

size_t SystemRead(BufferedFile& file, uint8_t* destination, size_t count, int64_t offset) {
  size_t done = 0;
  while (done < count) {
    ssize_t n = pread(file.handle, destination + done, count - done, offset + static_cast<int64_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

// Writes the buffered bytes (writing mode) and empties the buffer.
void FlushWriteBuffer(BufferedFile& file) {
  if (file.buffer_position > 0) {
    file.file_position += SystemWrite(file, file.buffer.get(), file.buffer_position, file.file_position);
    file.buffer_position = 0;
  }
}

// Leaves writing mode at the current logical position with an empty buffer.
void SwitchToReading(BufferedFile& file) {
  int64_t position = LogicalPosition(file);
  FlushWriteBuffer(file);
  file.writing = false;
  file.file_position = position;
  file.buffer_position = file.buffer_limit;
}

// Pending bits stay: they were put for output and continue the stream.
void SwitchToWriting(BufferedFile& file) {
  int64_t position = LogicalPosition(file);
  file.writing = true;
  file.file_position = position;
  file.buffer_limit = file.buffer_size;
  file.buffer_position = 0;
}

void ResetOpenState(BufferedFile& file, int handle, const char* name, bool writing) {
  file.handle = handle;
  file.name = name;
  file.writing = writing;
  file.file_position = 0;
  file.buffer_limit = file.buffer_size;
  file.buffer_position = writing ? 0 : file.buffer_size;
  file.cached_size = -1;
  file.pending_count = 0;
  file.partial_byte = 0;
}

int64_t MeasureSize(BufferedFile& file) {
  struct stat info {};
  file.cached_size = fstat(file.handle, &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
  return file.cached_size;
}

}  // namespace

BufferedFile::BufferedFile(int32_t size) { BufferedFileInit(*this, size); }

BufferedFile::~BufferedFile() { BufferedFileFree(*this); }

size_t BufferedFile::WriteRaw(const void* source, size_t count) {
  return BufferedFileWriteRaw(*this, source, count);
}

void BufferedFile::AlignBits() { BufferedFileAlignBits(*this); }

void BufferedFileInit(BufferedFile& file, int32_t size) {
  BufferedFileFree(file);
  file.buffer_size = static_cast<uint32_t>(size > 0 ? int64_t{size} : -int64_t{size});
  if (size <= 0) EnsureBuffer(file);
  file.buffer_limit = file.buffer_position = file.buffer_size;
}

void ConstructBufferedFile(BufferedFile& file) { BufferedFileInit(file, 512); }

void BufferedFileFree(BufferedFile& file) {
  BufferedFileClose(file);
  file.buffer.reset();
}

bool BufferedFileOpen(BufferedFile& file, const char* name, FileAccess access) {
  BufferedFileClose(file);
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
  ResetOpenState(file, handle, name, false);
  return true;
}

bool BufferedFileCreate(BufferedFile& file, const char* name) {
  BufferedFileClose(file);
  if (name == nullptr || *name == '\0') return false;
  int handle;
  do handle = open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  while (handle < 0 && errno == EINTR);
  if (handle < 0) return false;
  ResetOpenState(file, handle, name, true);
  return true;
}

void BufferedFileClose(BufferedFile& file) {
  if (!IsOpen(file)) return;
  if (file.pending_count) file.BitOutput::AlignBits();
  if (file.writing) FlushWriteBuffer(file);
  close(file.handle);
  file.handle = -1;
  file.writing = false;
  file.buffer_position = file.buffer_limit;
  file.pending_count = 0;
  file.partial_byte = 0;
}

void BufferedFileFlush(BufferedFile& file) {
  if (IsOpen(file) && file.writing) FlushWriteBuffer(file);
}

int64_t BufferedFileSize(BufferedFile& file) {
  if (!IsOpen(file)) return 0;
  int64_t size = MeasureSize(file);
  int64_t position = LogicalPosition(file);
  return size > position ? size : position;
}

int64_t BufferedFileSeek(BufferedFile& file, int64_t position) {
  if (!IsOpen(file)) return 0;
  int64_t before = LogicalPosition(file);
  if (position < 0 || position == before) return before;
  if (file.pending_count) file.BitOutput::AlignBits();
  if (file.writing) {
    FlushWriteBuffer(file);
  } else {
    int64_t buffer_start = file.file_position - file.buffer_limit;
    if (position >= buffer_start && position < file.file_position &&
        file.buffer_position < file.buffer_limit) {
      file.buffer_position = static_cast<uint32_t>(position - buffer_start);
      return before;
    }
    file.buffer_position = file.buffer_limit;
  }
  file.file_position = position;
  return before;
}

bool BufferedFileAtEnd(BufferedFile& file) {
  if (!IsOpen(file)) return true;
  if (file.cached_size < 0) MeasureSize(file);
  return LogicalPosition(file) >= file.cached_size;
}

// Bits are only ever put for output, so they are completed in either mode.
void BufferedFileAlignBits(BufferedFile& file) { file.BitOutput::AlignBits(); }

size_t BufferedFileReadRaw(BufferedFile& file, void* destination, size_t count) {
  if (count == 0 || !IsOpen(file)) return 0;
  // Bits put for output are completed before the stream is read.
  if (file.pending_count) file.BitOutput::AlignBits();
  if (file.writing) SwitchToReading(file);
  EnsureBuffer(file);
  auto* out = static_cast<uint8_t*>(destination);
  size_t total = 0;
  for (;;) {
    size_t available = file.buffer_limit - file.buffer_position;
    size_t take = available < count - total ? available : count - total;
    if (take > 0) {
      std::memcpy(out + total, file.buffer.get() + file.buffer_position, take);
      file.buffer_position += static_cast<uint32_t>(take);
      total += take;
    }
    size_t remaining = count - total;
    if (remaining == 0) return total;
    if (remaining >= file.buffer_size) {
      // Large requests bypass the buffer, which is left used up.
      size_t got = SystemRead(file, out + total, remaining, file.file_position);
      file.file_position += static_cast<int64_t>(got);
      file.buffer_limit = file.buffer_position = 0;
      return total + got;
    }
    size_t got = SystemRead(file, file.buffer.get(), file.buffer_size, file.file_position);
    file.buffer_limit = static_cast<uint32_t>(got);
    file.buffer_position = 0;
    file.file_position += static_cast<int64_t>(got);
    if (got == 0) return total;
  }
}

// Pending bits were completed by BufferedFileReadRaw, so nothing is shifted.
size_t BufferedFileRead(BufferedFile& file, void* destination, size_t count) {
  return BufferedFileReadRaw(file, destination, count);
}

int BufferedFileGetByte(BufferedFile& file) {
  if (file.buffer && !file.writing && file.pending_count == 0 &&
      file.buffer_position < file.buffer_limit) {
    return file.buffer[file.buffer_position++];
  }
  uint8_t byte;
  return BufferedFileRead(file, &byte, 1) == 1 ? byte : -1;
}

size_t BufferedFileWriteRaw(BufferedFile& file, const void* source, size_t count) {
  if (count == 0 || !IsOpen(file)) return 0;
  EnsureBuffer(file);
  if (!file.writing) SwitchToWriting(file);
  const auto* in = static_cast<const uint8_t*>(source);
  size_t total = 0;
  for (;;) {
    size_t remaining = count - total;
    size_t room = file.buffer_limit - file.buffer_position;
    if (room > 0 && (file.buffer_position > 0 || remaining <= file.buffer_limit)) {
      size_t take = room < remaining ? room : remaining;
      std::memcpy(file.buffer.get() + file.buffer_position, in + total, take);
      file.buffer_position += static_cast<uint32_t>(take);
      total += take;
      if (total == count) return total;
      remaining = count - total;
    }
    FlushWriteBuffer(file);
    if (remaining < file.buffer_limit) continue;
    size_t written = SystemWrite(file, in + total, remaining, file.file_position);
    file.file_position += static_cast<int64_t>(written);
    return total + written;
  }
}

size_t BufferedFileWrite(BufferedFile& file, const void* source, size_t count) {
  return file.Write(source, count);
}

namespace {

// Small values take the buffer directly when it is ready for them.
void PutLittleEndian(BufferedFile& file, uint32_t value, unsigned bytes) {
  uint8_t data[4];
  for (unsigned i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
  if (file.buffer && file.writing && file.pending_count == 0 && IsOpen(file) &&
      file.buffer_limit - file.buffer_position >= bytes) {
    std::memcpy(file.buffer.get() + file.buffer_position, data, bytes);
    file.buffer_position += bytes;
    return;
  }
  file.Write(data, bytes);
}

}  // namespace

void BufferedFilePutByte(BufferedFile& file, uint32_t value) { PutLittleEndian(file, value, 1); }
void BufferedFilePutWord(BufferedFile& file, uint32_t value) { PutLittleEndian(file, value, 2); }
void BufferedFilePutLong(BufferedFile& file, uint32_t value) { PutLittleEndian(file, value, 4); }

void BufferedFilePutBits(BufferedFile& file, uint32_t value, unsigned count) {
  file.PutBits(value, count);
}

const char* BufferedFileName(const BufferedFile& file, std::string* destination) {
  if (!IsOpen(file)) return nullptr;
  if (destination) *destination = file.name;
  return file.name.c_str();
}

char* BufferedFileReadLine(BufferedFile& file, char* destination, size_t maximum) {
  if (destination == nullptr || maximum == 0) return destination;
  size_t stored = 0;
  while (stored + 1 < maximum) {
    int c = BufferedFileGetByte(file);
    if (c < 0) break;
    destination[stored++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  while (stored > 0 && (destination[stored - 1] == '\n' || destination[stored - 1] == '\r')) --stored;
  destination[stored] = '\0';
  return destination;
}

}  // namespace toolsupport
