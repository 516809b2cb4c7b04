#include <cstdio>
#include <memory>

#include "platform/image/image_codec.h"

namespace platform::image_codec {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

ImageStatus ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, uint64_t& fileSize,
                          uint64_t limit) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return ImageStatus::CannotOpen;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return ImageStatus::CannotOpen;
  long end = std::ftell(file.get());
  if (end < 0) return ImageStatus::CannotOpen;
  std::rewind(file.get());
  fileSize = static_cast<uint64_t>(end);
  uint64_t wanted = fileSize < limit ? fileSize : limit;
  if (wanted > kMaxImageBytes * 2) return ImageStatus::OutOfMemory;
  bytes.resize(static_cast<size_t>(wanted));
  if (wanted > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    return ImageStatus::CannotOpen;
  }
  return ImageStatus::Ok;
}

ImageStatus WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) return ImageStatus::CannotWrite;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  ok = (std::fclose(file.release()) == 0) && ok;
  if (!ok) {
    std::remove(path.c_str());
    return ImageStatus::CannotWrite;
  }
  return ImageStatus::Ok;
}

}  // namespace platform::image_codec
