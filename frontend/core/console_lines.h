#pragma once
// The console lines: one list of text lines for the whole program, which the Command page
// shows and which commands, echoes and tool reports are written to.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace frontend {

class ConsoleLines {
 public:
  // Past this many characters the console is trimmed from the top.
  static constexpr size_t kTrimThreshold = 0x3000;
  static constexpr size_t kTrimAtLeast = 1001;

  const std::vector<std::string>& lines() const { return lines_; }
  // Characters of all lines, each with its line break.
  size_t TextSize() const { return size_; }

  void Append(const std::string& line);
  void Append(const std::vector<std::string>& lines);
  // The echo of a command behind the prompt.
  void AppendToLastLine(const std::string& text);
  // A new line with the prompt, unless the last line is that prompt already; then trims.
  void ShowPrompt(const std::string& prompt);
  void Clear();
  // Over kTrimThreshold characters: removes lines from the top until at least kTrimAtLeast
  // characters are gone.
  void Trim();

  // Told after every change (the Command page's memo follows the lines); one listener at most.
  void SetChangeListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void Changed();

  std::vector<std::string> lines_;
  size_t size_ = 0;
  std::function<void()> listener_;
};

}  // namespace frontend
