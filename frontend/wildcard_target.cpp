#include "frontend/wildcard_target.h"

#include "frontend/text_format.h"
#include "platform/system/wildcard.h"

namespace frontend {
namespace {

std::string Merge(const std::string& pattern, const std::string& source) {
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

std::string WildcardTargetName(const std::string& pattern, const std::string& source) {
  const platform::NameParts target = platform::SplitName(pattern);
  const platform::NameParts from = platform::SplitName(source);
  return platform::JoinName({target.directory, Merge(target.base, from.base),
                   Merge(target.extension, from.extension)});
}

bool HasWildcard(const std::string& path) {
  return NamePart(path).find_first_of("*?") != std::string::npos;
}

}  // namespace frontend
