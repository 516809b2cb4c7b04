#include "script/language/command_table.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace script {

CommandTable::CommandTable(std::vector<const char*> words) : words_(std::move(words)) {
  if (words_.size() > kMaxWords) throw std::invalid_argument("more command words than a record can number");
  for (size_t i = 1; i < words_.size(); ++i) {
    if (std::string_view(words_[i - 1]) >= words_[i]) {
      throw std::invalid_argument(std::string("command words out of order at ") + words_[i]);
    }
  }
}

std::optional<size_t> CommandTable::Find(std::string_view word) const {
  // Compares as unsigned bytes, a word before every longer word it begins.
  size_t low = 0, high = words_.size();
  while (low < high) {
    const size_t probe = low + (high - low) / 2;
    const int order = word.compare(words_[probe]);
    if (order == 0) return probe;
    if (order < 0) {
      high = probe;
    } else {
      low = probe + 1;
    }
  }
  return std::nullopt;
}

}  // namespace script
