#include "platform/system/command_text.h"

#include <sys/stat.h>

namespace platform {
namespace {

bool NameExists(const std::string& name) {
  struct stat info {};
  return lstat(name.c_str(), &info) == 0;
}

bool DirectoryExists(const std::string& name) {
  struct stat info {};
  return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsSwitchCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '#' || c == '@' || c == '&';
}

// A blank outside double quotes splits switches into separate words; one inside a quoted
// value (/&"my pal.bmp") belongs to that value.
bool HasUnquotedBlank(const std::string& word) {
  bool quoted = false;
  for (char c : word) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == ' ' || c == '\t')) return true;
  }
  return false;
}

}  // namespace

bool IsSwitchWord(const std::string& argument) {
  if (argument.size() < 2 || argument[0] != '/' || !IsSwitchCharacter(argument[1])) return false;
  if (HasUnquotedBlank(argument)) return false;
  if (NameExists(argument)) return false;
  const size_t lastSlash = argument.rfind('/');
  return lastSlash == 0 || !DirectoryExists(argument.substr(0, lastSlash));
}

std::string BuildCommandText(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    const std::string argument = argv[i] ? argv[i] : "";
    text += IsSwitchWord(argument) ? argument : "\"" + argument + "\"";
  }
  return text;
}

}  // namespace platform
