#pragma once
// The program-wide state of the front end, shared by the main window, its pages and dialogs:
// the settings record, the console lines, the request queue, the notify targets, the help
// context and the services commands are run with. Made once by the program (or a test).
#include <functional>
#include <memory>
#include <string>

#include "frontend/core/console_interpreter.h"
#include "frontend/core/console_lines.h"
#include "frontend/core/front_end_dialogs.h"
#include "frontend/core/notify_targets.h"
#include "frontend/core/program_starter.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/scriptor_state.h"
#include "frontend/core/settings.h"

class QWidget;

namespace frontend {

class PopupMenus;

class FrontEnd {
 public:
  // The starter must outlive the front end. The console starts with the basic built-in
  // commands (CD, REM); the full console replaces them.
  explicit FrontEnd(ProgramStarter& starter);
  ~FrontEnd();

  Settings settings;
  ConsoleLines console;
  RequestQueue requests;
  NotifyTargets notifyTargets;
  int helpContext = 0;
  std::string batchParameters;   // the words after a running batch's name; empty outside batches
  bool frameRateRequest = false;  // the Main page's one-shot request: the Mixer opens on "Perm."
  ScriptorState scriptor;         // the Scriptor's script, kept while other tabs are shown
  std::string thousandsSeparator = ",";
  QWidget* mainWindow = nullptr;  // owner of the message boxes, when there is one
  // What the main window lends the windows below it while it exists: its pop-up menus and the
  // number of the tab it shows.
  PopupMenus* mainMenus = nullptr;
  std::function<int()> shownTab;

  ProgramStarter& starter() { return *starter_; }
  void SetStarter(ProgramStarter& starter) { starter_ = &starter; }
  ConsoleInterpreter& interpreter() { return *interpreter_; }
  void SetInterpreter(std::unique_ptr<ConsoleInterpreter> interpreter);

  // The small dialogs the menus and pages ask through (the dialog service's until their own
  // windows exist).
  FrontEndDialogs dialogs;

  // Whether SHIFT is held at this moment (a typed command then only echoes); none: never.
  std::function<bool()> shiftHeld;
  // The picture viewer, when there is one: true when it showed the file.
  std::function<bool(const std::string& file)> viewImageFile;

  // The program directory with a trailing '/': where the tools and the help pages are.
  std::string ProgramDirectory() const;
  // The console directory (no trailing '/' except the root).
  const std::string& ConsoleDirectory() const { return settings.command.directory; }
  std::string Prompt() const { return ConsoleDirectory() + "> "; }
  void ShowPrompt() { console.ShowPrompt(Prompt()); }

  // Brings back a hidden or minimised main window (a tool's status window was restored).
  void RestoreMainWindow();

 private:
  ProgramStarter* starter_;
  std::unique_ptr<ConsoleInterpreter> interpreter_;
};

// Makes the help context current while it lives, as every dialog does while it is open.
class ScopedHelpContext {
 public:
  ScopedHelpContext(FrontEnd& frontEnd, int context)
      : frontEnd_(frontEnd), previous_(frontEnd.helpContext) {
    frontEnd_.helpContext = context;
  }
  ~ScopedHelpContext() { frontEnd_.helpContext = previous_; }
  ScopedHelpContext(const ScopedHelpContext&) = delete;
  ScopedHelpContext& operator=(const ScopedHelpContext&) = delete;

 private:
  FrontEnd& frontEnd_;
  int previous_;
};

}  // namespace frontend
