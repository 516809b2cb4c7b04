#include "toolsupport/base/text_words.h"

namespace {

bool IsBlank(unsigned char c) { return c >= 1 && c <= 32; }
bool IsWordChar(unsigned char c) { return c > 32; }

// Length of the run that TakeWord moves out: word, following blanks, one comma.
size_t WordRunLength(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsWordChar(static_cast<unsigned char>(text[i]))) ++i;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  if (i < text.size() && text[i] == ',') ++i;
  return i;
}

void AppendUnit(std::string& text, uint64_t count, const char* unit) {
  AppendNumber(static_cast<int64_t>(count), text);
  text += ' ';
  text += unit;
  if (count != 1) text += 's';
}

}  // namespace

void TrimLeading(std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  text.erase(0, i);
}

void TrimText(std::string& text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(static_cast<unsigned char>(text[end - 1]))) --end;
  text.erase(end);
  TrimLeading(text);
}

std::string TrimBlanks(std::string text) {
  TrimText(text);
  return text;
}

std::string LowerCase(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && LowerCase(a) == LowerCase(b);
}

void StripQuotes(std::string& text) {
  TrimText(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
}

std::string TakeWord(std::string& text) {
  TrimLeading(text);
  const size_t run = WordRunLength(text);
  std::string word = text.substr(0, run);
  TrimText(word);
  text.erase(0, run);
  TrimLeading(text);
  return word;
}

bool TakeLastArgument(std::string& text, std::string& name) {
  name = TakeArgument(text);
  return text.empty();
}

std::string TakeArgument(std::string& text) {
  TrimLeading(text);
  std::string word;
  const size_t close = text.empty() || text[0] != '"' ? std::string::npos : text.find('"', 1);
  if (close != std::string::npos) {
    word = text.substr(1, close - 1);
    text.erase(0, close + 1);
  } else {
    const size_t run = WordRunLength(text);
    word = text.substr(0, run);
    text.erase(0, run);
  }
  TrimText(word);
  TrimText(text);
  return word;
}

size_t AppendNumber(int64_t value, std::string& text, size_t position) {
  if (position < text.size()) text.erase(position);
  text += std::to_string(value);
  return text.size();
}

void FormatElapsedTime(std::string& text, uint64_t milliseconds) {
  const uint64_t ms = milliseconds;
  if (ms < 1000) {
    AppendUnit(text, ms, "millisecond");
  } else if (ms < 60000) {
    AppendUnit(text, ms / 1000, "second");
  } else if (ms < 3600000) {
    AppendUnit(text, ms / 60000, "minute");
    text += ' ';
    AppendUnit(text, (ms % 60000) / 1000, "second");
  } else {
    AppendUnit(text, ms / 3600000, "hour");
    text += ' ';
    AppendUnit(text, (ms % 3600000) / 60000, "minute");
  }
}
