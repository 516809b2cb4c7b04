#include "frontend/file_attributes.h"

#include <sys/stat.h>

#include "frontend/text_format.h"

namespace frontend {

std::optional<unsigned> DosAttributes(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return std::nullopt;
  unsigned attributes = 0;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= kAttributeReadOnly;
  const std::string name = NamePart(path);
  if (!name.empty() && name[0] == '.') attributes |= kAttributeHidden;
  return attributes;
}

}  // namespace frontend
