#pragma once
// The temporary block file on a BufferedFile: the first pass appends each frame's records, the
// second pass reads them back from the start.
#include "compressor/block_records.h"
#include "toolsupport/io/buffered_file.h"
#include "compressor/encode_pass.h"

namespace compressor {

class BufferedBlockFile : public BlockFileSink, public ByteSource {
 public:
  explicit BufferedBlockFile(toolsupport::BufferedFile& file) : file_(file) {}
  // False when the file took fewer bytes or has had a write error.
  bool Append(const uint8_t* data, size_t size) override;
  std::string FailureText() const override;
  // False when fewer than count bytes are left.
  bool Read(uint8_t* destination, size_t count) override;

 private:
  toolsupport::BufferedFile& file_;
};

}  // namespace compressor
