#include "frontend/core/console_lines.h"

namespace frontend {

void ConsoleLines::Append(const std::string& line) {
  lines_.push_back(line);
  size_ += line.size() + 1;
  Changed();
}

void ConsoleLines::Append(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    lines_.push_back(line);
    size_ += line.size() + 1;
  }
  Changed();
}

void ConsoleLines::AppendToLastLine(const std::string& text) {
  if (lines_.empty()) {
    Append(text);
    return;
  }
  lines_.back() += text;
  size_ += text.size();
  Changed();
}

void ConsoleLines::ShowPrompt(const std::string& prompt) {
  if (lines_.empty() || lines_.back() != prompt) Append(prompt);
  Trim();
}

void ConsoleLines::Clear() {
  lines_.clear();
  size_ = 0;
  Changed();
}

void ConsoleLines::Trim() {
  if (size_ <= kTrimThreshold) return;
  size_t removed = 0;
  size_t count = 0;
  while (count < lines_.size() && removed < kTrimAtLeast) removed += lines_[count++].size() + 1;
  lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(count));
  size_ -= removed;
  Changed();
}

void ConsoleLines::Changed() {
  if (listener_) listener_();
}

}  // namespace frontend
