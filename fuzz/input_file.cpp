#include "fuzz/input_file.h"

#include <unistd.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace fuzz {
namespace {

struct ProcessFile {
  std::string path;
  int fd = -1;
};

class ProcessFiles {
 public:
  ~ProcessFiles() {
    for (auto& [extension, file] : files_) {
      close(file.fd);
      unlink(file.path.c_str());
    }
  }

  ProcessFile* For(const std::string& extension) {
    auto found = files_.find(extension);
    if (found != files_.end()) return &found->second;
    const char* folder = std::getenv("TMPDIR");
    std::string name = std::string(folder != nullptr && folder[0] != '\0' ? folder : "/tmp") +
                       "/vant-fuzz-XXXXXX" + extension;
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), static_cast<int>(extension.size()));
    if (fd < 0) return nullptr;
    return &files_.emplace(extension, ProcessFile{buffer.data(), fd}).first->second;
  }

 private:
  std::map<std::string, ProcessFile> files_;
};

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  if (ftruncate(fd, 0) != 0) return false;
  for (off_t offset = 0; size > 0;) {
    const ssize_t written = pwrite(fd, data, size, offset);
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
    offset += written;
  }
  return true;
}

}  // namespace

const std::string& WriteInputFile(const uint8_t* data, size_t size, const std::string& extension) {
  static ProcessFiles files;
  static const std::string none;
  ProcessFile* file = files.For(extension);
  if (file == nullptr || !WriteAll(file->fd, data, size)) return none;
  return file->path;
}

}  // namespace fuzz
