#include "platform/system/file_set.h"

#include <sys/stat.h>

#include <algorithm>

namespace platform {

void FileSet::Add(const std::string& name) {
  struct stat info {};
  if (name.empty() || stat(name.c_str(), &info) != 0) return;
  const std::pair<dev_t, ino_t> file{info.st_dev, info.st_ino};
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

void FileSet::Add(const FileSet& other) {
  for (const auto& file : other.files_) {
    if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
  }
}

bool FileSet::Holds(const std::string& name) const {
  struct stat info {};
  if (name.empty() || stat(name.c_str(), &info) != 0) return false;
  return std::find(files_.begin(), files_.end(), std::pair<dev_t, ino_t>{info.st_dev, info.st_ino}) != files_.end();
}

}  // namespace platform
