#include "frontend/core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/system/file_replacement.h"

namespace frontend {
namespace {

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;  // nothing taken: the disk is full
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes the whole text to the file the replacement made; 0 or the errno.
int WriteText(const platform::FileReplacement& file, const std::string& text) {
  const int fd = open(file.Path().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = WriteAll(fd, text) ? 0 : errno;
  if (close(fd) != 0 && error == 0) error = errno;
  return error;
}

}  // namespace

bool SaveTextFile(const std::string& path, const std::string& text, int newFileMode, int* error) {
  platform::FileReplacement file;
  struct stat old {};
  if (newFileMode >= 0 && stat(path.c_str(), &old) != 0) file.SetMode(static_cast<mode_t>(newFileMode));
  int failure = file.Begin(path);
  if (failure == 0) failure = WriteText(file, text);
  if (failure == 0) failure = file.Commit();
  if (error != nullptr) *error = failure;
  return failure == 0;
}

std::optional<std::string> LoadTextFile(const std::string& path, uint64_t limit) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > limit) {
    close(fd);
    return std::nullopt;
  }
  std::string text;
  char block[65536];
  for (;;) {
    const ssize_t n = read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || text.size() + static_cast<size_t>(n) > limit) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    text.append(block, static_cast<size_t>(n));
  }
  close(fd);
  return text;
}

}  // namespace frontend
