#include "platform/system/dos_attributes.h"

#include <sys/stat.h>

#include <cerrno>

namespace platform {
namespace {

std::string LastComponent(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

unsigned DosAttributesFrom(const std::string& name, mode_t mode) {
  const std::string last = LastComponent(name);
  unsigned attributes = 0;
  if ((mode & S_IWUSR) == 0) attributes |= kDosReadOnly;
  if (!last.empty() && last[0] == '.' && last != "." && last != "..") attributes |= kDosHidden;
  if (S_ISDIR(mode)) attributes |= kDosDirectory;
  return attributes;
}

std::optional<unsigned> GetDosAttributes(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return DosAttributesFrom(path, info.st_mode);
}

AttributeResult SetDosAttributes(const std::string& path, unsigned attributes) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {AttributeChange::Failed, errno};
  const unsigned now = DosAttributesFrom(path, info.st_mode);
  const unsigned changed =
      (now ^ attributes) & (kDosReadOnly | kDosHidden | kDosSystem | kDosArchive);
  if (changed & (kDosHidden | kDosSystem | kDosArchive)) return {AttributeChange::Cannot, 0};
  if (changed & kDosReadOnly) {
    const mode_t mode =
        (attributes & kDosReadOnly) ? (info.st_mode & ~S_IWUSR) : (info.st_mode | S_IWUSR);
    if (chmod(path.c_str(), mode & 07777) != 0) return {AttributeChange::Failed, errno};
  }
  return {AttributeChange::Done, 0};
}

}  // namespace platform
