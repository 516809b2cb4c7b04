#include "platform/system/file_replacement.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace platform {
namespace {

// Longest part of the target's name that goes into the temporary name, which adds 9 bytes.
constexpr size_t kLongestNamePart = 200;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The name that a missing target's links lead to (a link to a missing file makes that file, as an
// open for writing through it would); empty with errno set for a loop or an unreadable link.
std::string FollowLinks(const std::string& given) {
  std::string path = given;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char text[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), text, sizeof text - 1);
    if (length < 0) return {};
    const std::string link(text, static_cast<size_t>(length));
    path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
  }
  errno = ELOOP;
  return {};
}

// The process's umask, read without changing it (other threads may be creating files).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  const mode_t mask = umask(022);
  umask(mask);
  return mask;
}

// Has the file's data written to the disk, so that a crash cannot leave an empty file in place
// of the old one.
int SyncFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int error = fsync(fd) == 0 ? 0 : errno;
  close(fd);
  return error;
}

// A no-replace rename refused with EINVAL: either a directory moved into itself, or a file
// system that cannot promise not to replace.
int NoReplaceRefused(const std::string& source, const std::string& target) {
  struct stat info {};
  if (lstat(source.c_str(), &info) != 0) return errno;
  if (!S_ISDIR(info.st_mode)) {
    // A hard link never replaces an existing name either.
    if (link(source.c_str(), target.c_str()) != 0) return errno == EEXIST ? EEXIST : EOPNOTSUPP;
    if (unlink(source.c_str()) != 0) {
      const int error = errno;
      unlink(target.c_str());
      return error;
    }
    return 0;
  }
  const size_t slash = target.rfind('/');
  const std::string parent = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  char* fullSource = realpath(source.c_str(), nullptr);
  char* fullParent = realpath(parent.c_str(), nullptr);
  int error = EOPNOTSUPP;
  if (fullSource && fullParent) {
    const std::string inner = std::string(fullParent) + "/";
    const std::string outer = std::string(fullSource) + "/";
    if (inner.compare(0, outer.size(), outer) == 0) error = EINVAL;
  }
  free(fullSource);
  free(fullParent);
  return error;
}

}  // namespace

int RenameNoReplace(const std::string& source, const std::string& target) {
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
  const int error = errno;
  if (error == EINVAL || error == ENOSYS) return NoReplaceRefused(source, target);
  return error;
}

FileReplacement::FileReplacement(FileReplacement&& other) noexcept { *this = std::move(other); }

FileReplacement& FileReplacement::operator=(FileReplacement&& other) noexcept {
  if (this != &other) {
    Abandon();
    given_ = std::move(other.given_);
    target_ = std::move(other.target_);
    path_ = std::move(other.path_);
    pending_ = std::exchange(other.pending_, false);
    replacing_ = other.replacing_;
    modeSet_ = other.modeSet_;
    mode_ = other.mode_;
    owner_ = other.owner_;
    group_ = other.group_;
  }
  return *this;
}

int FileReplacement::Begin(const std::string& target) {
  Abandon();
  given_ = target;
  path_.clear();
  replacing_ = false;
  if (target.empty()) return ENOENT;
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) return EISDIR;
    if (!S_ISREG(old.st_mode)) {
      path_ = target;
      return 0;
    }
    char* resolved = realpath(target.c_str(), nullptr);
    if (resolved == nullptr) return errno;
    target_ = resolved;
    free(resolved);
    if (access(target_.c_str(), W_OK) != 0) return errno;
    replacing_ = true;
    if (!modeSet_) mode_ = old.st_mode & 07777;
    owner_ = old.st_uid;
    group_ = old.st_gid;
  } else if (errno == ENOENT) {
    target_ = FollowLinks(target);
    if (target_.empty()) return errno;
    // Absolute, so that the names still hold when the program changes its directory meanwhile.
    if (target_[0] != '/') {
      char* here = getcwd(nullptr, 0);
      if (here == nullptr) return errno;
      target_ = std::string(here) + "/" + target_;
      free(here);
    }
  } else {
    return errno;
  }
  std::string name = FolderOf(target_) + "/." + NameOf(target_).substr(0, kLongestNamePart) + ".XXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  close(fd);
  path_ = name;
  pending_ = true;
  return 0;
}

int FileReplacement::Commit(bool replace) {
  if (!pending_) return path_.empty() ? ENOENT : 0;
  const mode_t mode = modeSet_ || replacing_ ? mode_ : 0666 & ~CurrentUmask();
  int error = chmod(path_.c_str(), mode) == 0 ? 0 : errno;
  if (error == 0 && replacing_) {
    struct stat made {};
    // The old file's owner and group where we may give them (a group of ours, or as root).
    if (stat(path_.c_str(), &made) == 0 && (made.st_uid != owner_ || made.st_gid != group_) &&
        chown(path_.c_str(), owner_, group_) != 0 && chown(path_.c_str(), -1, group_) != 0) {
      // The file stays ours; its mode was set above.
    }
    error = SyncFile(path_);
  }
  if (error == 0) {
    if (replace) {
      error = rename(path_.c_str(), target_.c_str()) == 0 ? 0 : errno;
    } else {
      error = RenameNoReplace(path_, target_);
    }
  }
  if (error != 0) {
    Abandon();
    return error;
  }
  pending_ = false;
  return 0;
}

void FileReplacement::Abandon() {
  if (pending_) unlink(path_.c_str());
  pending_ = false;
}

}  // namespace platform
