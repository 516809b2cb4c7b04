#pragma once
// The command words of the language in one table, sorted by their bytes, whose index the
// compiled records keep in a byte. The words come from the command families, each of which
// contributes the entries of its own words (script/commands); what a word runs is theirs.
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace script {

class CommandTable {
 public:
  static constexpr size_t kMaxWords = 256;

  // The words, upper case, each once and in ascending byte order, at most kMaxWords; they
  // must outlive the table. Any other list is refused (std::invalid_argument).
  explicit CommandTable(std::vector<const char*> words);

  size_t Size() const { return words_.size(); }
  const char* Word(size_t index) const { return words_[index]; }
  // The index of an upper-case word; nothing when it is no command word.
  std::optional<size_t> Find(std::string_view word) const;

 private:
  std::vector<const char*> words_;
};

}  // namespace script
