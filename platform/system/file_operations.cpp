#include "platform/system/file_operations.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/system/file_replacement.h"

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

// Why the target cannot take a copy before anything is written: the source itself under another
// name, or no regular file. Checked before any open for writing, so that a read-only source is
// refused as itself too and a pipe is never waited on.
CopyResult CheckTarget(const std::string& target, const struct stat& source, const CopyWay& way) {
  struct stat existing {};
  if (stat(target.c_str(), &existing) != 0) return {CopyStatus::Copied, 0};
  if (SameInode(existing, source)) return {CopyStatus::SameFile, 0};
  if (!S_ISREG(existing.st_mode)) return Failure(EINVAL);
  if (way.newTargetOnly) return Failure(EEXIST);
  return {CopyStatus::Copied, 0};
}

CopyResult CopyContents(int in, int out, const struct stat& source, const CopyProgress& progress) {
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
  const timespec times[2] = {source.st_atim, source.st_mtim};
  if (futimens(out, times) != 0) return Failure(errno);
  return {CopyStatus::Copied, 0};
}

// The copy goes to a temporary file beside the target, which replaces the target only when the
// copy is complete: a failed or cancelled copy leaves an existing target as it was.
CopyResult CopyWith(const std::string& source, const std::string& target, const CopyWay& way,
                    const CopyProgress& progress) {
  // Not blocking, so that a pipe given as the source is refused rather than waited on.
  const int in = open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (in < 0) return Failure(errno);
  struct stat info {};
  const int error = fstat(in, &info) != 0 ? errno : (S_ISREG(info.st_mode) ? 0 : EINVAL);
  CopyResult result = error != 0 ? Failure(error) : CheckTarget(target, info, way);
  FileReplacement replacement;
  if (result.Copied()) {
    if (const int begun = replacement.Begin(target); begun != 0) result = Failure(begun);
  }
  if (result.Copied()) {
    if (way.keepMode) replacement.SetMode(info.st_mode & 0777);
    const int out = open(replacement.Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    result = out < 0 ? Failure(errno) : CopyContents(in, out, info, progress);
    // Some file systems report a failed write only when the file is closed.
    if (out >= 0 && close(out) != 0 && result.Copied()) result = Failure(errno);
  }
  if (result.Copied()) {
    if (const int committed = replacement.Commit(!way.newTargetOnly); committed != 0) result = Failure(committed);
  }
  close(in);
  return result;
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
  const int error = RenameNoReplace(source, target);
  return error == EXDEV ? MoveAcrossFileSystems(source, target) : error;
}

}  // namespace platform
