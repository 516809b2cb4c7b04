#pragma once
// The full console: the DOS-like built-in commands that work on files and directories and
// open the front end's windows, and batch files run by naming them. Every command the launcher
// runs passes through it first.
#include <string>

#include "frontend/analysis/analysis_window.h"
#include "frontend/core/console_interpreter.h"

namespace frontend {

class FrontEnd;

class Console : public ConsoleInterpreter {
 public:
  // A leading '@' is dropped; the command word is matched without regard to case.
  bool RunBuiltinCommand(FrontEnd& frontEnd, const std::string& command) override;
  void CloseWindows() override { analysis_.Close(); }

  // The analysis window that "vnttune" opens.
  AnalysisWindows& analysis() { return analysis_; }

 private:
  AnalysisWindows analysis_;
};

// The batch file the command's first word names: that word without wildcards, ".sbt" added
// when it has no extension, looked up from the console directory and, for a bare name, in the
// program directory. Empty when it names none.
std::string FindBatchFile(const FrontEnd& frontEnd, const std::string& firstWord);

// Whether the Command tab is the one shown; errors off it are also shown in a box.
bool CommandTabActive(const FrontEnd& frontEnd);

// Appends "  " + text to the console and, off the Command tab, shows "Error, " + text.
void ReportError(FrontEnd& frontEnd, const std::string& text);

}  // namespace frontend
