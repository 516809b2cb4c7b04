#pragma once
// The tools' one file abstraction: a POSIX file with a byte buffer of a size fixed
// at creation, reading and writing through it with free switching between the
// two, little-endian values, a least-significant-bit-first bit output, line
// reading, seeking, the size and a write-error flag. Closed when destroyed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "toolsupport/io/bit_output.h"

namespace toolsupport {

enum class FileAccess { Read, ReadWrite };

class BufferedFile : public BitOutput {
 public:
  // size > 0: a buffer of that size allocated on first use; size <= 0: a buffer
  // of -size bytes allocated now.
  explicit BufferedFile(int32_t size = 512);
  ~BufferedFile() override;
  BufferedFile(const BufferedFile&) = delete;
  BufferedFile& operator=(const BufferedFile&) = delete;

  // Both close what was open first and give false (leaving the file closed) on failure.
  bool Open(const char* name, FileAccess access = FileAccess::Read);
  bool Create(const char* name);
  // Completes a partial byte, writes what is buffered and closes.
  void Close();
  // Writes what is buffered for writing, so that the file holds it now; the file stays open.
  void Flush();
  bool IsOpen() const { return handle_ >= 0; }

  // 0 when closed; else the larger of the size on disk and the logical position.
  int64_t Size();
  // Moves to position; returns the position before the move. -1 only returns it.
  int64_t Seek(int64_t position);
  // True when closed or when the position has reached the file's size.
  bool AtEnd();

  // Reads up to count bytes; fewer at the end of the file. Bits pending from the
  // bit output are completed (written) first.
  size_t ReadRaw(void* destination, size_t count);
  size_t Read(void* destination, size_t count) { return ReadRaw(destination, count); }
  // The next byte, or -1 at the end of the file.
  int GetByte();
  // Reads one line of at most maximum - 1 bytes into destination (NUL-terminated),
  // without its trailing line feeds and carriage returns. A longer line continues
  // on the next call. Returns destination.
  char* ReadLine(char* destination, size_t maximum);

  size_t WriteRaw(const void* source, size_t count) override;
  // Bits are only ever put for output, so they are completed in either mode.
  void AlignBits() override { BitOutput::AlignBits(); }
  void PutByte(uint32_t value) { PutLittleEndian(value, 1); }
  void PutWord(uint32_t value) { PutLittleEndian(value, 2); }
  void PutLong(uint32_t value) { PutLittleEndian(value, 4); }

  // Null when closed; else the name the file was opened with, also copied to
  // destination when one is given.
  const char* Name(std::string* destination = nullptr) const;

  // Set when the system wrote fewer bytes than asked; only callers clear it.
  bool WriteError() const { return write_error_; }
  // The system's reason for the first failed write (an errno), 0 when none is known.
  int WriteErrorNumber() const { return write_errno_; }
  void ClearWriteError() {
    write_error_ = false;
    write_errno_ = 0;
  }

 private:
  int64_t LogicalPosition() const;
  bool EnsureBuffer();
  size_t SystemWrite(const uint8_t* source, size_t count, int64_t offset);
  size_t SystemRead(uint8_t* destination, size_t count, int64_t offset);
  void FlushWriteBuffer();
  void SwitchToReading();
  void SwitchToWriting();
  void ResetOpenState(int handle, const char* name, bool writing);
  int64_t MeasureSize();
  void PutLittleEndian(uint32_t value, unsigned bytes);

  bool write_error_ = false;
  int write_errno_ = 0;
  int handle_ = -1;
  std::string name_;
  std::unique_ptr<uint8_t[]> buffer_;
  uint32_t buffer_size_ = 0;
  // Valid bytes after a read; the capacity while writing.
  uint32_t buffer_limit_ = 0;
  // Next byte in the buffer; equal to the limit when the buffer is used up.
  uint32_t buffer_position_ = 0;
  // Reading: the file offset just after the buffered bytes. Writing: the offset
  // where the buffer will be written.
  int64_t file_position_ = 0;
  // The file's size as last measured; -1 when not measured since the last write.
  int64_t cached_size_ = -1;
  bool writing_ = false;
};

}  // namespace toolsupport
