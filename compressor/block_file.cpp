#include "compressor/block_file.h"

namespace compressor {

bool BufferedBlockFile::Append(const uint8_t* data, size_t size) {
  size_t written = file_.WriteRaw(data, size);
  return written == size && !file_.WriteError();
}

bool BufferedBlockFile::Read(uint8_t* destination, size_t count) {
  return file_.ReadRaw(destination, count) == count;
}

}  // namespace compressor
