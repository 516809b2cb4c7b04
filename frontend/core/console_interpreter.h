#pragma once
// The console's built-in commands, through which every command the launcher runs passes first.
#include <string>

namespace frontend {

class FrontEnd;

class ConsoleInterpreter {
 public:
  virtual ~ConsoleInterpreter() = default;
  // False when the command was a built-in one and has been carried out; true when it is not
  // built in and the caller is to start it as a program.
  virtual bool RunBuiltinCommand(FrontEnd& frontEnd, const std::string& command) = 0;
  // Closes the windows its commands opened (the main window does so when it closes).
  virtual void CloseWindows() {}
};

}  // namespace frontend
