#pragma once
// Writing a file so that what it replaces is never lost: the new contents go to a temporary file
// created exclusively in the target's folder, which takes the target's place only once it is
// complete. A run that fails, is cancelled or is stopped leaves the old file as it was, and the
// temporary file goes when its FileReplacement does.
#include <sys/types.h>

#include <string>

namespace platform {

class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement() { Abandon(); }
  FileReplacement(FileReplacement&& other) noexcept;
  FileReplacement& operator=(FileReplacement&& other) noexcept;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // Prepares to write `target`: 0, or the errno of why it cannot be written. A link is followed,
  // so that the file it names is the one replaced. An existing file that may not be written is
  // refused (EACCES), as opening it for writing would be; a target that exists and is no regular
  // file (a device, a pipe) is written in place, and a folder is refused (EISDIR).
  int Begin(const std::string& target);

  // The name to write to: the temporary file (created empty), or the target itself when it is
  // written in place. Empty before Begin.
  const std::string& Path() const { return path_; }
  // The name given to Begin.
  const std::string& Target() const { return given_; }

  // The permission bits the target gets; by default the old file's, or 0666 less the umask.
  void SetMode(mode_t mode) {
    mode_ = mode;
    modeSet_ = true;
  }

  // Puts the written file in the target's place: 0, or the errno (the temporary file is then
  // removed and the old file stays). With `replace` false an existing target is never replaced
  // (EEXIST). A file that replaces an existing one is on the disk before the rename.
  int Commit(bool replace = true);

  // Removes the temporary file now; nothing for a target written in place.
  void Abandon();
  // A temporary file waits for Commit or Abandon.
  bool Pending() const { return pending_; }

 private:
  std::string given_;
  std::string target_;  // the file replaced, links followed
  std::string path_;
  bool pending_ = false;
  bool replacing_ = false;
  bool modeSet_ = false;
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
};

// A rename that never replaces an existing name: 0 or the errno (EEXIST for an existing target).
// Where the file system cannot promise that, a file (not a directory) is moved by a hard link and
// an unlink; a directory then fails with EOPNOTSUPP, or EINVAL when moved into itself.
int RenameNoReplace(const std::string& source, const std::string& target);

}  // namespace platform
