#include "compressor/block_file.h"

namespace compressor {

bool BufferedBlockFile::Append(const uint8_t* data, size_t size) {
  size_t written = toolsupport::BufferedFileWriteRaw(file_, data, size);
  return written == size && file_.write_error == 0;
}

bool BufferedBlockFile::Read(uint8_t* destination, size_t count) {
  return toolsupport::BufferedFileReadRaw(file_, destination, count) == count;
}

}  // namespace compressor
