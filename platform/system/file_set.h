#pragma once
// The files a run reads, known by device and inode, so that an output can be held against every
// one of them whatever name it is given: another path, a link or a hard link.
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace platform {

class FileSet {
 public:
  // Adds the file the name reaches (links followed); a name that reaches nothing adds nothing.
  void Add(const std::string& name);
  void Add(const FileSet& other);
  // True when the name reaches one of the files.
  bool Holds(const std::string& name) const;
  bool Empty() const { return files_.empty(); }

 private:
  std::vector<std::pair<dev_t, ino_t>> files_;
};

}  // namespace platform
