#include "tools/binder/bound_program.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "toolsupport/base/text_words.h"
#include "toolsupport/ui/tool_run.h"

namespace binder {
namespace {

constexpr size_t kWindow = 32768;

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const std::string& name) : fd_(open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ReadOnlyFile() {
    if (fd_ >= 0) close(fd_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  bool IsOpen() const { return fd_ >= 0; }
  int64_t Size() const {
    const off_t end = lseek(fd_, 0, SEEK_END);
    lseek(fd_, 0, SEEK_SET);
    return end;
  }
  // Reads up to count bytes at the offset; fewer only at the end of the file or on an error.
  int64_t ReadAt(void* destination, size_t count, int64_t offset) const {
    size_t done = 0;
    while (done < count) {
      const ssize_t got = pread(fd_, static_cast<char*>(destination) + done, count - done,
                                static_cast<off_t>(offset + static_cast<int64_t>(done)));
      if (got < 0) return -1;
      if (got == 0) break;
      done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
  }

 private:
  int fd_;
};

using toolsupport::ProgressKind;
using toolsupport::Status;

}  // namespace

int64_t RoundUpToBlock(int64_t size) {
  return (size + kVideoAlignment - 1) / kVideoAlignment * kVideoAlignment;
}

int64_t FindSelfPlayArea(const std::string& fileName, const char* endMarker, const char* startMarker,
                         size_t areaSize, const toolsupport::Progress& progress) {
  ReadOnlyFile file(fileName);
  if (!file.IsOpen()) return -1;
  const size_t startLength = std::strlen(startMarker);
  const size_t endLength = std::strlen(endMarker);
  const int64_t size = file.Size();
  auto window = std::make_unique<char[]>(kWindow);
  auto end = std::make_unique<char[]>(endLength);
  // Each window starts a marker's length less one before the end of the last, so that a marker
  // across the seam is seen whole in the next one.
  for (int64_t position = 0; position < size;) {
    if (progress.ShowAndCheck(ProgressKind::Status, "Searching for markers (" + std::to_string(position) + " of " +
                                                        std::to_string(size) + " bytes)...")) {
      return -1;
    }
    const int64_t got = file.ReadAt(window.get(), kWindow, position);
    if (got < static_cast<int64_t>(startLength)) return -1;
    for (int64_t at = 0; at + static_cast<int64_t>(startLength) <= got; ++at) {
      if (std::memcmp(window.get() + at, startMarker, startLength) != 0) continue;
      const int64_t area = position + at + static_cast<int64_t>(startLength);
      if (file.ReadAt(end.get(), endLength, area + static_cast<int64_t>(areaSize)) ==
              static_cast<int64_t>(endLength) &&
          std::memcmp(end.get(), endMarker, endLength) == 0) {
        return area;
      }
    }
    if (position + got >= size) break;
    position += got - static_cast<int64_t>(startLength - 1);
  }
  return -1;
}

std::string StoredText(const std::vector<int64_t>& offsets, const std::string& playerSwitches) {
  std::string text;
  for (int64_t offset : offsets) text += " :" + std::to_string(offset);
  text += " " + playerSwitches;
  TrimText(text);
  return text;
}

toolsupport::Result<int64_t> AppendPadded(toolsupport::BufferedFile& output, const std::string& fileName,
                                          const toolsupport::Progress& progress) {
  ReadOnlyFile file(fileName);
  if (!file.IsOpen()) return Status::Error("Error opening file: " + fileName + ".");
  const int64_t size = file.Size();
  auto piece = std::make_unique<char[]>(kWindow);
  int64_t copied = 0;
  for (;;) {
    if (progress.ShowAndCheck(ProgressKind::Status, "Copying " + fileName + " (" + std::to_string(copied) + " of " +
                                                        std::to_string(size) + " bytes)...")) {
      return Status::Stopped();
    }
    const int64_t got = file.ReadAt(piece.get(), kWindow, copied);
    if (got < 0) return Status::Error("Error opening file: " + fileName + ".");
    if (got == 0) break;
    output.WriteRaw(piece.get(), static_cast<size_t>(got));
    if (output.WriteError()) return Status::Error(toolsupport::WriteErrorText(output.WriteErrorNumber()));
    copied += got;
  }
  const int64_t end = output.Size();
  std::memset(piece.get(), 0, kWindow);
  output.WriteRaw(piece.get(), static_cast<size_t>(RoundUpToBlock(end) - end));
  if (output.WriteError()) return Status::Error(toolsupport::WriteErrorText(output.WriteErrorNumber()));
  return copied;
}

}  // namespace binder
