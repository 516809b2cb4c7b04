#pragma once
// List file lines as the list editor shows and rewrites them. Lines are read by the tools' own
// list reader, so the editor sees the name and the frame range exactly as a tool will; lines
// are written so that the reader gives the same name and range back.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace frontend {

struct ListLine {
  std::string name;  // empty for a comment or an empty line
  std::optional<int32_t> start;
  std::optional<int32_t> end;
};

ListLine ReadListLine(const std::string& line);

// The name, then " /s" and the start, then " /e" and the end, each when given. The name goes
// in double quotes when the reader would not give it back as it stands (it holds a word such as
// "/s3", or begins with '#').
std::string WriteListLine(const std::string& name, std::optional<int32_t> start = std::nullopt,
                          std::optional<int32_t> end = std::nullopt);

// The line with one frame field ('s' start, 'e' end) set from what was typed: a text that is no
// number of frames takes the field away. A comment or an empty line stays as it is.
struct FrameEdit {
  std::string line;
  bool changed = false;  // the number differs from the line's own
};
FrameEdit SetFrameField(const std::string& line, char field, const std::string& typed);

// The lines of a list file as the tools read them: split at '\n', a '\r' before it dropped.
std::vector<std::string> SplitListText(const std::string& text);
// One line each, each ended by '\n'.
std::string JoinListLines(const std::vector<std::string>& lines);

}  // namespace frontend
