#include "frontend/core/text_format.h"

#include <algorithm>

namespace frontend {

std::string FormatThousands(int64_t number, const std::string& separator) {
  // Built from the magnitude as unsigned, so the most negative value has no overflow.
  uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
  std::string digits = std::to_string(magnitude);
  std::string out;
  const size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out = digits.substr(0, lead);
  for (size_t i = lead; i < digits.size(); i += 3) out += separator + digits.substr(i, 3);
  return number < 0 ? "-" + out : out;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string Quoted(const std::string& name) { return name.empty() ? name : "\"" + name + "\""; }

std::string DirectoryPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string AbsoluteIn(const std::string& directory, const std::string& typed) {
  const std::string name = Unquoted(typed);
  if (name.empty() || name[0] == '/') return name;
  return WithSeparator(directory) + name;
}

std::string Unquoted(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    return trimmed.substr(1, trimmed.size() - 2);
  }
  return trimmed;
}

}  // namespace frontend
