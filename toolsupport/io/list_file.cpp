#include "toolsupport/io/list_file.h"

#include <algorithm>
#include <cctype>

namespace toolsupport {
namespace {

bool IsBlank(char c) { return c > 0 && c <= ' '; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsWordBreak(char c) { return c == ' ' || c == '\t'; }

// A range word at `pos`: "/S" or "/E" (either case), an optional '-', digits, and the end of
// the word. Gives its letter, its value (negative values read as 0) and where it ends.
bool RangeWordAt(std::string_view line, size_t pos, char& letter, int32_t& value, size_t& end) {
  if (pos + 2 >= line.size() || line[pos] != '/') return false;
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(line[pos + 1])));
  if (letter != 'S' && letter != 'E') return false;
  size_t p = pos + 2;
  const bool negative = line[p] == '-';
  if (negative) ++p;
  if (p >= line.size() || !std::isdigit(static_cast<unsigned char>(line[p]))) return false;
  int64_t number = 0;
  while (p < line.size() && std::isdigit(static_cast<unsigned char>(line[p]))) {
    if (number < INT32_MAX) number = number * 10 + (line[p] - '0');
    ++p;
  }
  if (p < line.size() && !IsWordBreak(line[p])) return false;  // a path part such as "/s01/"
  value = negative ? 0 : static_cast<int32_t>(std::min<int64_t>(number, INT32_MAX));
  end = p;
  return true;
}

// Reads an unsigned decimal number at `pos`; no digits gives nullopt.
std::optional<int64_t> ReadNumber(std::string_view text, size_t& pos) {
  if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) return std::nullopt;
  int64_t value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    if (value < INT32_MAX) value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return value > INT32_MAX ? INT32_MAX : value;
}

}  // namespace

std::string SeriesName::NameOf(int64_t number) const {
  std::string digitsText = std::to_string(number);
  if (static_cast<int>(digitsText.size()) < digits) {
    digitsText.insert(0, static_cast<size_t>(digits) - digitsText.size(), '0');
  }
  return prefix + digitsText + rest;
}

bool IsSeriesName(std::string_view name) { return name.find('?') != std::string_view::npos; }

std::optional<SeriesName> ParseSeriesName(std::string_view text, int32_t start, int32_t end) {
  size_t firstMark = text.find('?');
  if (firstMark == std::string_view::npos) return std::nullopt;
  SeriesName series;
  series.prefix = std::string(text.substr(0, firstMark));
  size_t pos = firstMark;
  while (pos < text.size() && text[pos] == '?') ++pos;
  series.digits = static_cast<int>(pos - firstMark);
  size_t star = text.find('*', pos);
  if (star == std::string_view::npos) {
    series.rest = std::string(text.substr(pos));
    series.first = start;
    series.last = end;
    return series;
  }
  series.rest = std::string(text.substr(pos, star - pos));
  size_t p = star + 1;
  std::optional<int64_t> first = ReadNumber(text, p);
  series.first = first.value_or(0);
  series.last = series.first;
  if (p < text.size() && text[p] == '-') {
    ++p;
    if (std::optional<int64_t> last = ReadNumber(text, p)) series.last = *last;
  }
  return series;
}

ListEntry ParseListLine(std::string_view line) {
  ListEntry entry;
  line = Trim(line);
  if (line.empty() || line.front() == '#') return entry;
  // The /S and /E words come out (outside double quotes, each a word of its own, the first of
  // each letter counting); what is left is the name, blanks and all.
  std::string rest;
  bool quoted = false;
  for (size_t pos = 0; pos < line.size();) {
    char letter = 0;
    int32_t value = 0;
    size_t end = 0;
    if (!quoted && (pos == 0 || IsWordBreak(line[pos - 1])) && RangeWordAt(line, pos, letter, value, end)) {
      bool& seen = letter == 'S' ? entry.startGiven : entry.endGiven;
      if (!seen) (letter == 'S' ? entry.start : entry.end) = value;
      seen = true;
      pos = end;
      while (pos < line.size() && IsWordBreak(line[pos])) ++pos;
      continue;
    }
    if (line[pos] == '"') quoted = !quoted;
    rest += line[pos++];
  }
  std::string_view name = Trim(rest);
  // A name written in double quotes as a whole loses them.
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"' &&
      name.find('"', 1) == name.size() - 1) {
    name = name.substr(1, name.size() - 2);
  }
  entry.name = std::string(name);
  return entry;
}

bool ListWalker::OpenListFile(const std::string& path) {
  file_.close();
  file_.clear();
  file_.open(path, std::ios::binary);
  path_ = path;
  singleName_.clear();
  series_.reset();
  singleTaken_ = false;
  return file_.is_open();
}

void ListWalker::SetSingleName(std::string name) {
  file_.close();
  path_.clear();
  singleName_ = std::move(name);
  series_.reset();
  singleTaken_ = false;
}

void ListWalker::Rewind() {
  series_.reset();
  singleTaken_ = false;
  if (file_.is_open()) {
    file_.clear();
    file_.seekg(0);
  }
}

bool ListWalker::NextLine(std::string& line) {
  if (file_.is_open()) {
    if (!std::getline(file_, line)) return false;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    return true;
  }
  if (singleTaken_) return false;
  singleTaken_ = true;
  line = singleName_;
  return true;
}

bool ListWalker::ParseListEntry(ListEntry& entry) {
  for (;;) {
    if (series_ && nextNumber_ <= series_->last) {
      entry = ListEntry{series_->NameOf(nextNumber_), 0, 0, true};
      ++nextNumber_;
      return true;
    }
    series_.reset();
    std::string line;
    if (!NextLine(line)) {
      Rewind();
      entry = ListEntry{};
      return false;
    }
    ListEntry parsed = ParseListLine(line);
    if (parsed.name.empty()) continue;
    if (!IsSeriesName(parsed.name)) {
      entry = std::move(parsed);
      return true;
    }
    // A series with no usable range yields nothing rather than walking for ever.
    std::optional<SeriesName> series = ParseSeriesName(parsed.name, parsed.start, parsed.end);
    if (series && !series->Empty()) {
      series_ = std::move(series);
      nextNumber_ = series_->first;
    }
  }
}

}  // namespace toolsupport
