#pragma once
// The tools' status window, with the tool's title, a version line, one line of status text and a
// button that reads "&Cancel" while the tool works and "&Done" at the end. Without a display it
// has a console face: status lines and messages go to standard error and nothing waits for the
// user. A StatusWindow holds all of it; the free functions below serve the tool's one default
// window.
//
// Order of use in a tool:
//   std::string text = platform::BuildCommandText(argc, argv);
//   ReadReportSwitches(text);                // "/#" number and bare "/#", before other switches
//   PumpMessages();
//   CreateStatusWindow("V3.0k ...", "VantC");
//   ... switches, work, SetStatusText / ShowMessage / AskYesNo / StatusProgress ...
//   MarkWorkCompleted();                     // only when the work completed
//   FinishStatusWindow(!StatusCancelled());  // reports to the front end, then closes or waits
//   return StatusExitCode();
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/system/clock.h"
#include "toolsupport/base/status.h"

namespace platform {
class StatusPanel;
}

// Status text and version line are cut to this many bytes.
inline constexpr size_t kStatusTextLimit = 95;

class StatusWindowEvents;

class StatusWindow {
 public:
  // Times the status texts with the clock, which must outlive the window.
  explicit StatusWindow(platform::Clock& clock = platform::SystemClock());
  ~StatusWindow();
  StatusWindow(const StatusWindow&) = delete;
  StatusWindow& operator=(const StatusWindow&) = delete;

  // The calls of the same names below.
  void ReadReportSwitches(std::string& commandText);
  int32_t ReportReceiverNumber() const { return frontEnd_; }
  bool CloseAtOnceRequested() const { return closeAtOnce_; }
  bool Create(const std::string& versionLine, const std::string& title);
  void SetStatusText(const std::string& text) { ShowStatus(text, true); }
  void ShowMessage(bool error, const std::string& text);
  bool AskYesNo(bool defaultNo, const std::string& question);
  int PumpMessages();
  void ShowProgress(toolsupport::ProgressKind kind, const std::string& text);
  toolsupport::Progress Progress();
  void RequestStop() { cancel_ = true; }
  bool Cancelled();
  void MarkWorkCompleted() {
    if (!stoppedBySignal_) exitCode_ = 0;
  }
  int ExitCode() const { return exitCode_; }
  void Finish(bool success);
  bool ConfirmOverwrite(const std::string& fileName);
  const std::string& StatusText() const { return statusText_; }

  // For tests: the window while it exists, and making it on Qt's offscreen platform too.
  platform::StatusPanel* Panel() const { return panel_.get(); }
  void ShowPanelWithoutViewer() { panelWithoutViewer_ = true; }

 private:
  friend class StatusWindowEvents;
  bool Exists() const { return console_ || panel_ != nullptr; }
  bool Visible() const;
  void DestroyWindow();
  void AskToCancel();
  void TakeStopSignal();
  bool ShowsPanel() const;
  void ShowStatus(const std::string& text, bool print);
  void AfterDialog();

  platform::Clock& clock_;
  std::unique_ptr<StatusWindowEvents> events_;
  // Report switches.
  int32_t frontEnd_ = 0;
  bool closeAtOnce_ = false;

  std::unique_ptr<platform::StatusPanel> panel_;
  bool console_ = false;  // the console face stands in for the window
  std::string title_;
  std::string versionLine_;
  std::string statusText_;
  uint8_t closeRequests_ = 0;
  bool noMoreQuestions_ = false;
  bool cancel_ = false;
  bool finalText_ = false;  // a stop signal's message stays the status text
  uint64_t nextStatusTime_ = 0;
  int exitCode_ = 1;
  bool windowClosed_ = false;       // the window existed and is gone
  bool stoppedBySignal_ = false;  // a stop signal makes the exit code 1 whatever the work did
  bool signalsInstalled_ = false;   // the stop signals are this window's until it finishes
  bool panelWithoutViewer_ = false;  // tests drive the panel on platforms nobody sees
};

// The tool's one status window, behind the free functions below.
StatusWindow& DefaultStatusWindow();

// Takes "/#" with its number (the front end's report endpoint, 0 when absent) and then a bare
// "/#" (close at once at the end) off the command text.
void ReadReportSwitches(std::string& commandText);
int32_t ReportReceiverNumber();
bool CloseAtOnceRequested();

// Makes the window (hidden until the first status text) with the status text "Loading...".
// True when it exists; the console face counts as existing. The window's Qt faces are loaded
// here, when it is to be shown; when they cannot be, the console face serves.
bool CreateStatusWindow(const std::string& versionLine, const std::string& title);

// Shows the window when it is hidden and replaces the status text. Nothing without a window.
void SetStatusText(const std::string& text);

// An OK box captioned with the window's title, with the error or the information icon. An
// error's text (its line breaks made blanks) also becomes the status text, so that the report
// says what went wrong.
void ShowMessage(bool error, const std::string& text);

// A Yes/No question that also stands in the status text, followed by " Yes." or " No.".
bool AskYesNo(bool defaultNo, const std::string& question);

// Delivers waiting window events without waiting. Nonzero when the window is gone.
int PumpMessages();

// Shows status text: at most every 250 ms, or at once (which starts the 250 ms again).
void ShowStatusProgress(toolsupport::ProgressKind kind, const std::string& text);

// The tool's progress: ShowStatusProgress, and the stop request as the cancel query.
toolsupport::Progress StatusProgress();

// Asks the run to stop, as after an error.
void RequestStop();

// The stop request: set by a Yes to "Do you want to cancel?", by RequestStop, and by SIGINT,
// SIGTERM or SIGHUP while the window exists; a signal shows "Stopped by a signal.", which stays
// the status text.
bool StatusCancelled();

// The exit code is 1 until the tool marks its work completed.
void MarkWorkCompleted();
int StatusExitCode();

// Sends the report to the front end (always, when "/#" named one), then either closes at once
// or, after a successful run with a visible window and no bare "/#", switches the button to
// "&Done" and waits until the user presses it or closes the window.
void FinishStatusWindow(bool success);

// True when the file does not exist or the user agrees to overwrite it.
bool ConfirmOverwrite(const std::string& fileName);

// Back to the state before ReadReportSwitches, for tests.
void ResetStatusWindowForTesting();

// The window while it exists, for tests that act as the user; null otherwise.
platform::StatusPanel* StatusPanelForTesting();
// Until the next reset, the window is made on Qt's offscreen platform too (where the tools
// otherwise take the console face), so that tests can act as the user.
void ShowStatusPanelWithoutViewerForTesting();
// The status text as it stands (kept also without a window, for the report).
const std::string& CurrentStatusText();
