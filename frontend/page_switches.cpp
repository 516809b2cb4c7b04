#include "frontend/page_switches.h"

#include "frontend/ini_file.h"
#include "frontend/text_format.h"

namespace frontend {

std::string NumSwitch(char letter, bool enabled, int64_t number) {
  return enabled ? std::string("/") + letter + std::to_string(number) : "";
}

std::string TextSwitch(char letter, bool enabled, const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  return enabled && !trimmed.empty() ? std::string("/") + letter + trimmed : "";
}

std::string OptionalTextSwitch(char letter, bool enabled, const std::string& text) {
  return enabled ? std::string("/") + letter + TrimBlanks(text) : "";
}

std::string FlagSwitch(char letter, bool enabled) { return enabled ? std::string("/") + letter : ""; }

std::string LeadingDigits(const std::string& text) {
  const std::string trimmed = TrimBlanks(text);
  size_t end = 0;
  while (end < trimmed.size() && trimmed[end] >= '0' && trimmed[end] <= '9') ++end;
  return trimmed.substr(0, end);
}

std::optional<int32_t> WholeNumber(const std::string& text, bool signAllowed) {
  // The tools read a number switch only with a digit, or '-' and a digit, after the letter.
  const std::string trimmed = TrimBlanks(text);
  if (trimmed.empty() || trimmed[0] == '+' || (trimmed[0] == '-' && !signAllowed)) return std::nullopt;
  return ParseInteger(trimmed);
}

}  // namespace frontend
