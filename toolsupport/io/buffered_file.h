#pragma once
// The tools' one file abstraction: a POSIX file with a byte buffer of a size fixed
// at creation, reading and writing through it with free switching between the
// two, little-endian values, a least-significant-bit-first bit output, line
// reading, seeking, the size and a write-error flag.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/io/bit_output.h"

namespace toolsupport {

enum class FileAccess { Read, ReadWrite };

struct BufferedFile : BitOutput {
  // size > 0: a buffer of that size allocated on first use; size <= 0: a buffer
  // of -size bytes allocated now.
  explicit BufferedFile(int32_t size = 512);
  ~BufferedFile() override;
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  size_t WriteRaw(const void* source, size_t count) override;
  void AlignBits() override;

  // Set to 1 when the system wrote fewer bytes than asked; only callers clear it.
  int write_error = 0;
  int handle = -1;
  std::string name;
  std::unique_ptr<uint8_t[]> buffer;
  uint32_t buffer_size = 0;
  // Valid bytes after a read; the capacity while writing.
  uint32_t buffer_limit = 0;
  // Next byte in the buffer; equal to the limit when the buffer is used up.
  uint32_t buffer_position = 0;
  // Reading: the file offset just after the buffered bytes. Writing: the offset
  // where the buffer will be written.
  int64_t file_position = 0;
  // The file's size as last measured; -1 when not measured since the last write.
  int64_t cached_size = -1;
  bool writing = false;
};

// (Re)initialises to the closed state with a buffer as described at the constructor.
void BufferedFileInit(BufferedFile& file, int32_t size);
// BufferedFileInit with the usual 512 bytes.
void ConstructBufferedFile(BufferedFile& file);
// Closes, then frees the buffer.
void BufferedFileFree(BufferedFile& file);

// Both close what was open first and give false (leaving the file closed) on failure.
bool BufferedFileOpen(BufferedFile& file, const char* name, FileAccess access = FileAccess::Read);
bool BufferedFileCreate(BufferedFile& file, const char* name);
// Completes a partial byte, writes what is buffered and closes.
void BufferedFileClose(BufferedFile& file);
// Writes what is buffered for writing, so that the file holds it now; the file stays open.
void BufferedFileFlush(BufferedFile& file);

// 0 when closed; else the larger of the size on disk and the logical position.
int64_t BufferedFileSize(BufferedFile& file);
// Moves to position; returns the position before the move. -1 only returns it.
int64_t BufferedFileSeek(BufferedFile& file, int64_t position);
// True when closed or when the position has reached the file's size.
bool BufferedFileAtEnd(BufferedFile& file);

// Completes the partial byte of the bit stream with zero bits.
void BufferedFileAlignBits(BufferedFile& file);

// Reads up to count bytes; fewer at the end of the file. Bits pending from the
// bit output are completed (written) first.
size_t BufferedFileReadRaw(BufferedFile& file, void* destination, size_t count);
size_t BufferedFileRead(BufferedFile& file, void* destination, size_t count);
// The next byte, or -1 at the end of the file.
int BufferedFileGetByte(BufferedFile& file);

size_t BufferedFileWriteRaw(BufferedFile& file, const void* source, size_t count);
// As BufferedFileWriteRaw, shifted in after the pending bits.
size_t BufferedFileWrite(BufferedFile& file, const void* source, size_t count);
void BufferedFilePutByte(BufferedFile& file, uint32_t value);
void BufferedFilePutWord(BufferedFile& file, uint32_t value);
void BufferedFilePutLong(BufferedFile& file, uint32_t value);
// Appends the low count bits (1 to 32) of value to the bit stream.
void BufferedFilePutBits(BufferedFile& file, uint32_t value, unsigned count);

// Null when closed; else the name the file was opened with, also copied to
// destination when one is given.
const char* BufferedFileName(const BufferedFile& file, std::string* destination = nullptr);

// Reads one line of at most maximum - 1 bytes into destination (NUL-terminated),
// without its trailing line feeds and carriage returns. A longer line continues
// on the next call. Returns destination.
char* BufferedFileReadLine(BufferedFile& file, char* destination, size_t maximum);

}  // namespace toolsupport
