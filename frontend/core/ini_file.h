#pragma once
// A settings file of sections and keys, read and written the way the front end's settings
// expect: section and key names ignore case, values are trimmed, a missing or malformed number
// gives the default. Lines it does not understand, and sections nobody asks for, are kept as
// they stand, so a write never loses them. Saving writes a temporary file beside the old one
// and renames it over it, so the file is never half written.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace frontend {

class IniFile {
 public:
  IniFile() = default;

  // A missing or unreadable file gives an empty one (and false).
  bool Load(const std::string& path);
  void Parse(const std::string& text);
  std::string Text() const;
  // Makes the directory when needed; false when the file could not be written, with the
  // system's reason (an errno) in `error` when one is given.
  bool Save(const std::string& path, int* error = nullptr) const;

  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  int32_t ReadInteger(const std::string& section, const std::string& key,
                      int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

  // Replaces the key's value where it stands, or adds it at the end of its section; a new
  // section goes to the end of the file.
  void Write(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int64_t value);
  void EraseSection(const std::string& section);
  // Erases the section and writes it anew at the end of the file with these keys and values
  // (none: the section is gone).
  void ReplaceSection(const std::string& section,
                      const std::vector<std::pair<std::string, std::string>>& entries);

  // Keys and values of a section in file order (the first of a name counts).
  std::vector<std::pair<std::string, std::string>> Entries(const std::string& section) const;

  // Section names in file order.
  std::vector<std::string> Sections() const;

 private:
  struct Line {
    std::string text;  // as read, for lines that are no key
    std::string key;   // empty for such lines
    std::string value;
  };
  struct Section {
    std::string name;  // empty for the lines before the first section
    std::vector<Line> lines;
  };
  Section* Find(const std::string& name);
  const Section* Find(const std::string& name) const;

  std::vector<Section> sections_;
};

// A whole 32-bit decimal number (an optional sign, digits, nothing else), or nothing.
std::optional<int32_t> ParseInteger(const std::string& text);

}  // namespace frontend
