#include "player/self_play_area.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

namespace {

constexpr size_t kStoredTextSize = 208;

// Byte for byte as the binder finds it in the program file. The markers are spelled out
// character by character so that no other copy of them lands in the file.
struct SelfPlayArea {
  char marker[8];
  char text[kStoredTextSize];
  char endMarker[8];
};

extern "C" {
// Written into the program file by the binder, never by the program: the reads go through a
// volatile view so that the compiler cannot assume the zeros it was built with.
__attribute__((used)) SelfPlayArea g_selfPlayArea = {
    {'S', 'E', 'L', 'F', 'P', 'L', 'A', 'Y'}, {}, {'V', 'A', 'N', 'T', 'R', 'E', 'L', '!'}};
}

std::optional<std::string>& StoredTextOverride() {
  static std::optional<std::string> text;
  return text;
}

std::optional<std::string>& OwnFileOverride() {
  static std::optional<std::string> path;
  return path;
}

}  // namespace

std::string StoredCommandText() {
  if (StoredTextOverride()) return *StoredTextOverride();
  const volatile char* stored = g_selfPlayArea.text;
  std::string text;
  for (size_t i = 0; i < kStoredTextSize && stored[i] != '\0'; ++i) text += stored[i];
  return text;
}

int OpenOwnFileVideo(const std::string& name) {
  if (name.empty() || name[0] != ':') return -1;
  size_t at = 1;
  const bool negative = at < name.size() && name[at] == '-';
  if (negative) ++at;
  int64_t offset = 0;
  for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at) {
    if (offset > (INT64_MAX - 9) / 10) return -1;  // no file is that large
    offset = offset * 10 + (name[at] - '0');
  }
  if (negative) return -1;  // before the start of the file
  const std::string path = OwnFileOverride() ? *OwnFileOverride() : "/proc/self/exe";
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (lseek(fd, offset, SEEK_SET) != offset) {
    close(fd);
    return -1;
  }
  return fd;
}

void SetStoredCommandTextForTesting(std::optional<std::string> text) {
  StoredTextOverride() = std::move(text);
}

void SetOwnFileForTesting(std::optional<std::string> path) { OwnFileOverride() = std::move(path); }
