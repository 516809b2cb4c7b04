#include "platform/system/file_names.h"

#include <sys/stat.h>

#include <algorithm>

namespace platform {
namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Mapped(std::string text, char (*map)(char)) {
  std::transform(text.begin(), text.end(), text.begin(), map);
  return text;
}

bool Exists(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0;
}

}  // namespace

std::string NameForOpening(const std::string& base, const std::string& extension) {
  for (const std::string& spelling :
       {extension, Mapped(extension, Lower), Mapped(extension, Upper)}) {
    if (Exists(base + spelling)) return base + spelling;
  }
  return base + extension;
}

std::string NameForCreating(const std::string& base, const std::string& extension) {
  return base + Mapped(extension, Lower);
}

bool HasExtension(const std::string& name, const std::string& extension) {
  if (name.size() < extension.size()) return false;
  return Mapped(name.substr(name.size() - extension.size()), Lower) == Mapped(extension, Lower);
}

}  // namespace platform
