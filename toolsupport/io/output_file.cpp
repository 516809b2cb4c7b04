#include "toolsupport/io/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace toolsupport {

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {}

OutputFile::~OutputFile() { Remove(); }

OutputFile::OutputFile(OutputFile&& other) noexcept : name_(std::exchange(other.name_, {})) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    Remove();
    name_ = std::exchange(other.name_, {});
  }
  return *this;
}

// A link named as the output goes, not what it points to; a device or pipe stays.
void OutputFile::Remove() {
  struct stat info {};
  if (!name_.empty() && lstat(name_.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
    unlink(name_.c_str());
  }
  name_.clear();
}

}  // namespace toolsupport
