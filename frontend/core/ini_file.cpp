#include "frontend/core/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "frontend/core/text_file.h"
#include "frontend/core/text_format.h"

namespace frontend {
namespace {

// Settings files are small; a larger file is not read (and its contents are not trusted).
constexpr std::uintmax_t kLargestSettingsFile = 16u << 20;

}  // namespace

std::optional<int32_t> ParseInteger(const std::string& given) {
  const std::string text = TrimBlanks(given);
  const bool signed_ = !text.empty() && (text[0] == '-' || text[0] == '+');
  const bool negative = signed_ && text[0] == '-';
  size_t i = signed_ ? 1 : 0;
  if (i >= text.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > (int64_t{1} << 31)) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool IniFile::Load(const std::string& path) {
  sections_.clear();
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kLargestSettingsFile) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  Parse(text.str());
  return true;
}

void IniFile::Parse(const std::string& text) {
  sections_.clear();
  sections_.push_back({});
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = TrimBlanks(raw);
    if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
      sections_.push_back({TrimBlanks(line.substr(1, line.find(']') - 1)), {}});
      continue;
    }
    const size_t equals = line.find('=');
    Line entry{raw, "", ""};
    if (equals != std::string::npos && line[0] != ';' && line[0] != '#') {
      entry.key = TrimBlanks(line.substr(0, equals));
      entry.value = TrimBlanks(line.substr(equals + 1));
    }
    sections_.back().lines.push_back(entry);
  }
}

std::string IniFile::Text() const {
  std::string out;
  for (const Section& section : sections_) {
    // Every section but the lines before the first one has its header, even a header with an
    // empty name: without it, its keys would join the section before it.
    if (&section != &sections_.front()) out += "[" + section.name + "]\n";
    for (const Line& line : section.lines) {
      out += line.key.empty() ? line.text : line.key + "=" + line.value;
      out += '\n';
    }
  }
  return out;
}

bool IniFile::Save(const std::string& path, int* error) const {
  const std::filesystem::path target(path);
  std::error_code made;
  if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), made);
  // A new settings file is the user's alone.
  return SaveTextFile(path, Text(), 0600, error);
}

IniFile::Section* IniFile::Find(const std::string& name) {
  for (Section& section : sections_) {
    if (!section.name.empty() && EqualIgnoringCase(section.name, name)) return &section;
  }
  return nullptr;
}

const IniFile::Section* IniFile::Find(const std::string& name) const {
  return const_cast<IniFile*>(this)->Find(name);
}

std::optional<std::string> IniFile::Value(const std::string& sectionName,
                                          const std::string& key) const {
  const Section* section = Find(sectionName);
  if (!section) return std::nullopt;
  for (const Line& line : section->lines) {
    if (!line.key.empty() && EqualIgnoringCase(line.key, key)) return line.value;
  }
  return std::nullopt;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
  return Value(section, key).value_or(defaultValue);
}

int32_t IniFile::ReadInteger(const std::string& section, const std::string& key,
                             int32_t defaultValue) const {
  const std::optional<std::string> text = Value(section, key);
  if (!text) return defaultValue;
  return ParseInteger(*text).value_or(defaultValue);
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::Write(const std::string& sectionName, const std::string& key,
                    const std::string& value) {
  Section* section = Find(sectionName);
  if (!section) {
    if (sections_.empty()) sections_.push_back({});
    sections_.push_back({sectionName, {}});
    section = &sections_.back();
  }
  for (Line& line : section->lines) {
    if (!line.key.empty() && EqualIgnoringCase(line.key, key)) {
      line.value = TrimBlanks(value);
      return;
    }
  }
  // After the last key, before blank lines that end the section.
  auto at = section->lines.end();
  while (at != section->lines.begin() && std::prev(at)->key.empty() &&
         TrimBlanks(std::prev(at)->text).empty()) {
    --at;
  }
  section->lines.insert(at, Line{"", key, TrimBlanks(value)});
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int64_t value) {
  Write(section, key, std::to_string(value));
}

void IniFile::EraseSection(const std::string& name) {
  for (auto it = sections_.begin(); it != sections_.end();) {
    if (!it->name.empty() && EqualIgnoringCase(it->name, name)) {
      it = sections_.erase(it);
    } else {
      ++it;
    }
  }
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  for (const Section& section : sections_) {
    if (!section.name.empty()) names.push_back(section.name);
  }
  return names;
}

void IniFile::ReplaceSection(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& entries) {
  EraseSection(name);
  if (entries.empty()) return;
  if (sections_.empty()) sections_.push_back({});
  Section section{name, {}};
  section.lines.reserve(entries.size());
  for (const auto& [key, value] : entries) section.lines.push_back({"", key, TrimBlanks(value)});
  sections_.push_back(std::move(section));
}

std::vector<std::pair<std::string, std::string>> IniFile::Entries(const std::string& name) const {
  std::vector<std::pair<std::string, std::string>> entries;
  if (const Section* section = Find(name)) {
    for (const Line& line : section->lines) {
      if (!line.key.empty()) entries.emplace_back(line.key, line.value);
    }
  }
  return entries;
}

}  // namespace frontend
