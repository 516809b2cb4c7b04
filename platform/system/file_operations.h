#pragma once
// Kind and same-file tests, copying and moving of single files for the script player's FILECOPY
// and FILERENAME and the front end's COPY, REN/MOVE and copy window. Nothing here ever replaces
// an existing file by a rename, and a copy that does not complete leaves the target as it was.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// True when both names exist and are one file (the same device and inode, links followed), be
// it through a relative name, another path or a link.
bool SameFile(const std::string& a, const std::string& b);

// True when the path names a directory (links followed).
bool IsDirectory(const std::string& path);
// True when the path names a directory that this process may enter.
bool IsEnterableDirectory(const std::string& path);

enum class CopyStatus {
  Copied,
  Cancelled,  // the progress callback asked to stop
  SameFile,   // the target is the source under another name; neither was touched
  Failed,     // see CopyResult::error
};

struct CopyResult {
  CopyStatus status = CopyStatus::Failed;
  int error = 0;  // errno of a failure; EINVAL for a source or target that is no regular file,
                  // EIO for a source whose size changed while it was copied
  bool Copied() const { return status == CopyStatus::Copied; }
};

// Called after every block with the bytes copied so far and the source's size; false cancels.
using CopyProgress = std::function<bool(uint64_t copied, uint64_t total)>;

inline constexpr size_t kCopyBlockSize = 8192;

// Copies a regular file's contents in blocks of kCopyBlockSize and gives the target the source's
// access and modification times. The copy is written to a temporary file beside the target and
// renamed over it only when complete: a new target gets mode 0666 less the umask, an existing one
// keeps its mode. Every write is checked; after a failure or a cancel no temporary file is left
// and an existing target is as it was.
CopyResult CopyFile(const std::string& source, const std::string& target,
                    const CopyProgress& progress = {});

// Renames or moves a file or directory; 0 or the errno. An existing target is never replaced
// (EEXIST). Where the file system refuses a no-replace rename, a file is moved by a hard link and
// an unlink, and anything else fails with EOPNOTSUPP. Across file systems (EXDEV) a regular file
// is copied to a new target, keeping its times and permissions, and the source is deleted only
// when the copy is complete; a directory or any other kind of file fails with EXDEV.
int MoveFile(const std::string& source, const std::string& target);

}  // namespace platform
