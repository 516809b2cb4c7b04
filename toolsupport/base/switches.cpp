#include "toolsupport/base/switches.h"

#include <vector>

namespace {

bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Positions of every '/' that begins a switch: unquoted and inside a word that begins with '/'.
std::vector<size_t> SwitchStarts(const std::string& text) {
  std::vector<size_t> starts;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    while (i < n && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
    if (i == n) break;
    const bool switchWord = text[i] == '/';
    bool quoted = false;
    for (; i < n && (quoted || !IsBlank(static_cast<unsigned char>(text[i]))); ++i) {
      if (text[i] == '"') {
        quoted = !quoted;
      } else if (!quoted && switchWord && text[i] == '/') {
        starts.push_back(i);
      }
    }
  }
  return starts;
}

bool LetterMatches(const std::string& text, size_t slash, char letter) {
  return slash + 1 < text.size() && UpperLetter(text[slash + 1]) == letter;
}

}  // namespace

int32_t GetNumberSwitch(int32_t defaultValue, char letter, std::string& commandText) {
  for (size_t slash : SwitchStarts(commandText)) {
    if (!LetterMatches(commandText, slash, letter)) continue;
    size_t pos = slash + 2;
    const bool negative = pos < commandText.size() && commandText[pos] == '-';
    if (negative) ++pos;
    if (pos >= commandText.size() || !IsDigit(commandText[pos])) continue;
    // The largest magnitude that still fits a signed 32-bit value of this sign.
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; pos < commandText.size() && IsDigit(commandText[pos]); ++pos) {
      if (!overflow) magnitude = magnitude * 10 + static_cast<uint64_t>(commandText[pos] - '0');
      if (magnitude > limit) overflow = true;
    }
    if (overflow) continue;  // stays in the text as a malformed switch
    commandText.erase(slash, pos - slash);
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return static_cast<int32_t>(value);
  }
  return defaultValue;
}

bool GetFlagSwitch(char letter, std::string& commandText) {
  for (size_t slash : SwitchStarts(commandText)) {
    if (!LetterMatches(commandText, slash, letter)) continue;
    const size_t next = slash + 2;
    if (next < commandText.size() && static_cast<unsigned char>(commandText[next]) >= '0') continue;
    commandText.erase(slash, 2);
    return true;
  }
  return false;
}

bool GetTextSwitch(const std::string& defaultText, std::string& value, char letter,
                   std::string& commandText) {
  for (size_t slash : SwitchStarts(commandText)) {
    if (!LetterMatches(commandText, slash, letter)) continue;
    const size_t first = slash + 2;
    if (first >= commandText.size() || static_cast<unsigned char>(commandText[first]) < '!') continue;
    if (commandText[first] == '"') {
      const size_t close = commandText.find('"', first + 1);
      if (close == std::string::npos) {
        value = commandText.substr(first + 1);
        commandText.erase(slash);
      } else {
        value = commandText.substr(first + 1, close - first - 1);
        commandText.erase(slash, close + 1 - slash);
      }
      return true;
    }
    size_t end = first;
    while (end < commandText.size() && static_cast<unsigned char>(commandText[end]) >= '!' &&
           commandText[end] != '/') {
      ++end;
    }
    value = commandText.substr(first, end - first);
    commandText.erase(slash, end - slash);
    return true;
  }
  value = defaultText;
  return false;
}

bool SwitchLeftOver(const std::string& commandText) { return !SwitchStarts(commandText).empty(); }

int32_t OutputFrameRate(int32_t f, int32_t inputFrameRate) {
  if (f == 0) return inputFrameRate;
  if (f > 0) return -(100000 / f);
  if (f >= -1500) return -f;
  return f;
}
