#pragma once
// File masks and filters of the file controls. A mask is one or more wildcard patterns
// separated by ';' ("*.avi;*.wav"): '*' any run of characters, '?' one character, case ignored;
// "*.*" is every file, with or without a dot. A filter is "description|mask" pairs joined by
// '|' ("Sound files (*.wav)|*.wav|All files (*.*)|*.*").
#include <string>
#include <vector>

namespace frontend {

class FileMask {
 public:
  FileMask() : FileMask("*.*") {}
  explicit FileMask(const std::string& masks);

  bool Matches(const std::string& name) const;
  const std::string& text() const { return text_; }
  // The extension of the first pattern with it (".avi" for "*.avi;*.wav"), "" when none has one.
  std::string FirstExtension() const;

 private:
  std::string text_;
  std::vector<std::string> patterns_;
};

struct FilterEntry {
  std::string description;
  std::string mask;
};

// A description without its mask is dropped.
std::vector<FilterEntry> ParseFilter(const std::string& filter);

}  // namespace frontend
