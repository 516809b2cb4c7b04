#include "frontend/core/basic_console.h"

#include <filesystem>
#include <optional>

#include "frontend/core/front_end.h"
#include "frontend/core/launcher.h"
#include "frontend/core/settings_file.h"
#include "frontend/core/text_format.h"
#include "platform/system/drives.h"
#include "platform/system/file_operations.h"

namespace frontend {
namespace {

// The argument of a CD command, or nothing when the command is no CD.
std::optional<std::string> CdArgument(const std::string& command) {
  const std::string lower = LowerCase(command);
  if (lower.size() >= 3 && lower.compare(0, 2, "cd") == 0 &&
      (lower[2] == ' ' || lower[2] == '.' || lower[2] == '/' || lower[2] == '\t')) {
    return TrimBlanks(command.substr(2));
  }
  if (lower == "cd") return std::string();
  // "D:" alone changes the drive, which names the root here.
  if (command.size() == 2 && command[1] == ':') return command;
  const auto [word, rest] = SplitFirstWord(command);
  if (LowerCase(word) == "chdir") return rest;
  return std::nullopt;
}

}  // namespace

std::string ConsoleTarget(const std::string& consoleDirectory, const std::string& argument) {
  const std::string name = platform::PathOfDriveWord(Unquoted(argument));
  if (name.empty()) return "";
  std::filesystem::path path(name);
  if (path.is_relative()) path = std::filesystem::path(consoleDirectory.empty() ? "/" : consoleDirectory) / path;
  std::string out = path.lexically_normal().string();
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

std::string ConsolePath(const FrontEnd& frontEnd, const std::string& name) {
  return ConsoleTarget(frontEnd.ConsoleDirectory(), name);
}

std::string ShownName(const FrontEnd& frontEnd, const std::string& path) {
  const std::string directory = WithSeparator(frontEnd.ConsoleDirectory());
  if (!directory.empty() && path.size() > directory.size() && path.compare(0, directory.size(), directory) == 0) {
    return path.substr(directory.size());
  }
  return path;
}

void ConsoleChDir(FrontEnd& frontEnd, const std::string& argument) {
  const std::string shown = Unquoted(argument);
  const std::string target = ConsoleTarget(frontEnd.ConsoleDirectory(), argument);
  if (target.empty() || target == frontEnd.ConsoleDirectory()) return;
  frontEnd.console.AppendToLastLine("CD " + shown);
  if (!platform::IsEnterableDirectory(target)) {
    frontEnd.console.Append("  Directory not found.");
    return;
  }
  frontEnd.settings.command.directory = target;
  AddToRecentList(frontEnd.settings.recentDirs, target);
}

bool BasicConsole::RunBuiltinCommand(FrontEnd& frontEnd, const std::string& given) {
  std::string command = TrimBlanks(given);
  if (!command.empty() && command[0] == '@') command = TrimBlanks(command.substr(1));
  if (const std::optional<std::string> argument = CdArgument(command)) {
    ConsoleChDir(frontEnd, *argument);
    return false;
  }
  const std::string word = LowerCase(SplitFirstWord(command).first);
  if (word == "rem" || word == "echo") {
    frontEnd.console.AppendToLastLine(command);
    return false;
  }
  return true;
}

}  // namespace frontend
