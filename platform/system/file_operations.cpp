#include "platform/system/file_operations.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {
namespace {

bool SameInode(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

CopyResult Failure(int error) { return {CopyStatus::Failed, error}; }

// Reads until the block is full or the file ends; -1 on an error.
ssize_t ReadBlock(int fd, char* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = read(fd, data + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

struct CopyWay {
  bool newTargetOnly = false;  // refuse an existing target (a move)
  bool keepMode = false;       // give the target the source's permission bits (a move)
};

// Opens the target for writing without harming it yet; a target that turns out to be the source
// itself, or no regular file, is left as it was.
CopyResult OpenTarget(const std::string& target, const struct stat& source, const CopyWay& way,
                      int& fd) {
  // Checked before any open for writing, so that a read-only source is refused as itself too
  // and a pipe is never waited on.
  struct stat existing {};
  if (stat(target.c_str(), &existing) == 0) {
    if (SameInode(existing, source)) return {CopyStatus::SameFile, 0};
    if (!S_ISREG(existing.st_mode)) return Failure(EINVAL);
  }
  fd = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) return {CopyStatus::Copied, 0};
  if (errno != EEXIST || way.newTargetOnly) return Failure(errno);
  fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return Failure(errno);
  CopyResult refusal{CopyStatus::Copied, 0};
  if (fstat(fd, &existing) != 0) {
    refusal = Failure(errno);
  } else if (SameInode(existing, source)) {
    refusal = {CopyStatus::SameFile, 0};
  } else if (!S_ISREG(existing.st_mode)) {
    refusal = Failure(EINVAL);
  } else if (ftruncate(fd, 0) != 0) {
    refusal = Failure(errno);
  }
  if (!refusal.Copied()) {
    close(fd);
    fd = -1;
  }
  return refusal;
}

CopyResult CopyContents(int in, int out, const struct stat& source, const CopyWay& way,
                        const CopyProgress& progress) {
  const uint64_t total = static_cast<uint64_t>(source.st_size);
  uint64_t copied = 0;
  std::vector<char> block(kCopyBlockSize);
  for (;;) {
    const ssize_t got = ReadBlock(in, block.data(), block.size());
    if (got < 0) return Failure(errno);
    if (got == 0) break;
    if (!WriteAll(out, block.data(), static_cast<size_t>(got))) return Failure(errno);
    copied += static_cast<uint64_t>(got);
    if (progress && !progress(copied, total)) return {CopyStatus::Cancelled, 0};
    if (static_cast<size_t>(got) < block.size()) break;
  }
  if (copied != total) return Failure(EIO);
  if (way.keepMode && fchmod(out, source.st_mode & 0777) != 0) return Failure(errno);
  const timespec times[2] = {source.st_atim, source.st_mtim};
  if (futimens(out, times) != 0) return Failure(errno);
  return {CopyStatus::Copied, 0};
}

CopyResult CopyWith(const std::string& source, const std::string& target, const CopyWay& way,
                    const CopyProgress& progress) {
  // Not blocking, so that a pipe given as the source is refused rather than waited on.
  const int in = open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return Failure(errno);
  struct stat info {};
  const int error = fstat(in, &info) != 0 ? errno : (S_ISREG(info.st_mode) ? 0 : EINVAL);
  if (error != 0) {
    close(in);
    return Failure(error);
  }
  int out = -1;
  CopyResult result = OpenTarget(target, info, way, out);
  if (result.Copied()) {
    result = CopyContents(in, out, info, way, progress);
    // Some file systems report a failed write only when the file is closed.
    if (close(out) != 0 && result.Copied()) result = Failure(errno);
    if (!result.Copied()) unlink(target.c_str());
  }
  close(in);
  return result;
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

int MoveAcrossFileSystems(const std::string& source, const std::string& target) {
  struct stat info {};
  if (lstat(source.c_str(), &info) != 0) return errno;
  if (!S_ISREG(info.st_mode)) return EXDEV;
  const CopyResult copy = CopyWith(source, target, {true, true}, {});
  if (!copy.Copied()) return copy.error;
  if (unlink(source.c_str()) != 0) {
    const int error = errno;
    unlink(target.c_str());
    return error;
  }
  return 0;
}

}  // namespace

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsEnterableDirectory(const std::string& path) {
  return IsDirectory(path) && access(path.c_str(), X_OK) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat infoA {
  }, infoB{};
  return stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0 && SameInode(infoA, infoB);
}

CopyResult CopyFile(const std::string& source, const std::string& target,
                    const CopyProgress& progress) {
  return CopyWith(source, target, {}, progress);
}

int MoveFile(const std::string& source, const std::string& target) {
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
    return 0;
  }
  switch (const int error = errno) {
    case EINVAL:
    case ENOSYS:
      return NoReplaceRefused(source, target);
    case EXDEV:
      return MoveAcrossFileSystems(source, target);
    default:
      return error;
  }
}

}  // namespace platform
