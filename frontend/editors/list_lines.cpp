#include "frontend/editors/list_lines.h"

#include "frontend/core/ini_file.h"
#include "frontend/core/text_format.h"
#include "toolsupport/io/list_file.h"

namespace frontend {

ListLine ReadListLine(const std::string& line) {
  const toolsupport::ListEntry entry = toolsupport::ParseListLine(line);
  ListLine read;
  read.name = entry.name;
  if (entry.name.empty()) return read;
  if (entry.startGiven) read.start = entry.start;
  if (entry.endGiven) read.end = entry.end;
  return read;
}

std::string WriteListLine(const std::string& name, std::optional<int32_t> start,
                          std::optional<int32_t> end) {
  const toolsupport::ListEntry plain = toolsupport::ParseListLine(name);
  const bool readsBack = plain.name == name && !plain.startGiven && !plain.endGiven;
  std::string line = readsBack || name.find('"') != std::string::npos ? name : Quoted(name);
  if (start) line += " /s" + std::to_string(*start);
  if (end) line += " /e" + std::to_string(*end);
  return line;
}

FrameEdit SetFrameField(const std::string& line, char field, const std::string& typed) {
  ListLine read = ReadListLine(line);
  if (read.name.empty()) return {line, false};
  std::optional<int32_t> number = ParseInteger(typed);
  if (number && *number < 0) number.reset();
  std::optional<int32_t>& own = field == 's' ? read.start : read.end;
  const bool changed = number != own;
  own = number;
  return {WriteListLine(read.name, read.start, read.end), changed};
}

std::vector<std::string> SplitListText(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string JoinListLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace frontend
