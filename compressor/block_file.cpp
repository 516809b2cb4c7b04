#include "compressor/block_file.h"

#include "toolsupport/base/file_errors.h"

namespace compressor {

bool BufferedBlockFile::Append(const uint8_t* data, size_t size) {
  size_t written = file_.WriteRaw(data, size);
  return written == size && !file_.WriteError();
}

std::string BufferedBlockFile::FailureText() const { return toolsupport::WriteErrorText(file_.WriteErrorNumber()); }

bool BufferedBlockFile::Read(uint8_t* destination, size_t count) {
  return file_.ReadRaw(destination, count) == count;
}

}  // namespace compressor
