#pragma once
// The built-in commands the launcher cannot do without: CD (a command run in a page's
// directory moves the console there first) and REM/ECHO (a command typed with SHIFT held only
// echoes). Everything else is started as a program.
#include <string>

#include "frontend/core/console_interpreter.h"

namespace frontend {

class BasicConsole : public ConsoleInterpreter {
 public:
  bool RunBuiltinCommand(FrontEnd& frontEnd, const std::string& command) override;
};

// The directory a CD argument names, seen from the console directory: quotes removed, a drive
// word ("D:") is the root, relative names are resolved by the text alone; no trailing '/'
// except the root. Empty for an empty argument.
std::string ConsoleTarget(const std::string& consoleDirectory, const std::string& argument);

// A name given to a command as a full path: quotes removed, a drive word is the root, a
// relative name lies in the console directory. No trailing '/' except the root.
std::string ConsolePath(const FrontEnd& frontEnd, const std::string& name);

// A path as the console shows it: relative when it lies in the console directory.
std::string ShownName(const FrontEnd& frontEnd, const std::string& path);

// CD: moves the console directory (echoing "CD " + the argument), or appends
// "  Directory not found."; a directory reached is added to the recent directories.
void ConsoleChDir(FrontEnd& frontEnd, const std::string& argument);

}  // namespace frontend
