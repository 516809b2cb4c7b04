#pragma once
// Walks the chunks of RIFF files (WAV, AVI). A chunk is a four-character id, a 32-bit
// little-endian size and its data, padded to an even size; "RIFF" and "LIST" chunks begin with
// a four-character type and hold further chunks. Offsets are 64-bit and every size is clamped
// to the end of what holds it (the file or the enclosing list), so a damaged size never leads
// a reader outside.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/system/little_endian.h"

namespace toolsupport {

struct RiffChunk {
  char id[4] = {};
  uint64_t data = 0;      // file offset of the chunk's data
  uint64_t size = 0;      // bytes of data that are really there
  uint64_t declared = 0;  // the size the chunk claims
  bool Is(const char* fourcc) const;
};

// A regular file read at 64-bit offsets.
class InputFile {
 public:
  InputFile() = default;
  virtual ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // False when the name is no regular file that can be read.
  bool Open(const std::string& path);
  bool opened() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }
  // Reads exactly count bytes at offset; false when they are not all in the file.
  bool ReadAt(uint64_t offset, void* destination, size_t count) const;
  // Reads up to count bytes at offset; returns how many were read.
  size_t ReadSome(uint64_t offset, void* destination, size_t count) const;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

class RiffFile : public InputFile {
 public:
  // Opens the file and reads the "RIFF" header. False when the file cannot be opened or does
  // not begin with "RIFF" (opened() tells the two apart).
  bool Open(const std::string& path);
  // True when the form type (the four characters after the RIFF size) is `fourcc`.
  bool IsForm(const char* fourcc) const;
  // The RIFF body: the chunks after the form type up to the end of the file. A wrong RIFF size
  // (streaming writers leave 0 or all ones) does not hide chunks that follow it.
  uint64_t bodyStart() const { return 12; }
  uint64_t bodyEnd() const { return size(); }
  // The end the RIFF size claims, cut to the file, for readers that trust no chunk past it.
  uint64_t declaredEnd() const { return declaredEnd_; }

 private:
  char form_[4] = {};
  uint64_t declaredEnd_ = 0;
};

// The chunks between two offsets of a file, one per call.
class RiffChunkWalker {
 public:
  RiffChunkWalker(const RiffFile& file, uint64_t start, uint64_t end);
  // The chunks held by a "LIST" or "RIFF" chunk, after its type.
  static RiffChunkWalker Inside(const RiffFile& file, const RiffChunk& list);
  // The next chunk; false at the end or when no whole chunk header is left.
  bool Next(RiffChunk& chunk);

 private:
  const RiffFile& file_;
  uint64_t position_;
  uint64_t end_;
};

// The type of a "LIST" chunk ("hdrl", "movi", ...); false when it is too short.
bool ReadListType(const RiffFile& file, const RiffChunk& list, char type[4]);

// The stream number of a "##xx" data chunk of an AVI file; -1 when the id begins with no two digits.
int32_t StreamNumberOf(const RiffChunk& chunk);

}  // namespace toolsupport
