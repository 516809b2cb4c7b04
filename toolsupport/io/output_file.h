#pragma once
// The output a run makes, removed again unless the run commits it: a tool that fails, is
// stopped or runs out of memory leaves no partial output behind. Temporary files are outputs
// that are never committed.
#include <string>

namespace toolsupport {

class OutputFile {
 public:
  OutputFile() = default;
  // Takes charge of `name`, which this run creates. Only a regular file (or a link, which goes
  // itself) is ever removed: a device or pipe named as the output stays whatever happens.
  explicit OutputFile(std::string name);
  ~OutputFile();
  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&& other) noexcept;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // The output is complete: it stays.
  void Commit() { name_.clear(); }
  // Removes the file now (when it is still in charge of one).
  void Remove();
  bool Pending() const { return !name_.empty(); }

 private:
  std::string name_;  // empty when nothing is to be removed
};

}  // namespace toolsupport
