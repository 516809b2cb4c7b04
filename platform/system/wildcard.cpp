#include "platform/system/wildcard.h"

namespace platform {
namespace {

char Folded(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Classic glob walk: on a mismatch, the last '*' takes one more character of the name.
bool Glob(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t starMask = std::string_view::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && (mask[m] == '?' || Folded(mask[m]) == Folded(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::string LaidOver(const std::string& pattern, const std::string& source) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '*') return out + (i < source.size() ? source.substr(i) : "");
    if (pattern[i] == '?') {
      if (i < source.size()) out += source[i];
    } else {
      out += pattern[i];
    }
  }
  return out;
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view mask) {
  if (Glob(name, mask)) return true;
  // A trailing ".*" may also stand for no extension at all.
  return mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
         Glob(name, mask.substr(0, mask.size() - 2));
}

NameParts SplitName(const std::string& path) {
  NameParts parts;
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  parts.directory = path.substr(0, nameStart);
  const std::string name = path.substr(nameStart);
  const size_t firstNonDot = name.find_first_not_of('.');
  const size_t dot = name.rfind('.');
  if (firstNonDot == std::string::npos || dot == std::string::npos || dot < firstNonDot) {
    parts.base = name;
  } else {
    parts.base = name.substr(0, dot);
    parts.extension = name.substr(dot + 1);
  }
  return parts;
}

std::string JoinName(const NameParts& parts) {
  return parts.directory + parts.base + (parts.extension.empty() ? "" : "." + parts.extension);
}

std::string WildcardTargetName(const std::string& pattern, const std::string& source) {
  const NameParts target = SplitName(pattern);
  const NameParts from = SplitName(source);
  return JoinName({target.directory, LaidOver(target.base, from.base), LaidOver(target.extension, from.extension)});
}

bool HasWildcard(const std::string& path) {
  const size_t slash = path.rfind('/');
  return path.find_first_of("*?", slash == std::string::npos ? 0 : slash + 1) != std::string::npos;
}

}  // namespace platform
