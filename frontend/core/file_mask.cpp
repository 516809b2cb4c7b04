#include "frontend/core/file_mask.h"

#include "frontend/core/text_format.h"
#include "platform/system/wildcard.h"

namespace frontend {
FileMask::FileMask(const std::string& masks) : text_(TrimBlanks(masks)) {
  size_t start = 0;
  while (start <= text_.size()) {
    size_t end = text_.find(';', start);
    if (end == std::string::npos) end = text_.size();
    const std::string pattern = TrimBlanks(text_.substr(start, end - start));
    if (!pattern.empty()) patterns_.push_back(pattern);
    start = end + 1;
  }
  if (patterns_.empty()) patterns_.push_back("*.*");
}

bool FileMask::Matches(const std::string& name) const {
  for (const std::string& pattern : patterns_) {
    if (platform::MatchesWildcard(name, pattern)) return true;
  }
  return false;
}

std::string FileMask::FirstExtension() const {
  for (const std::string& pattern : patterns_) {
    const size_t dot = pattern.rfind('.');
    if (dot == std::string::npos) continue;
    const std::string extension = pattern.substr(dot);
    if (extension.find_first_of("*?") == std::string::npos && extension.size() > 1) return extension;
  }
  return "";
}

std::vector<FilterEntry> ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t end = filter.find('|', start);
    if (end == std::string::npos) end = filter.size();
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<FilterEntry> entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) entries.push_back({parts[i], parts[i + 1]});
  return entries;
}

}  // namespace frontend
