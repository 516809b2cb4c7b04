#include "toolsupport/ui/status_window.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/gui/dialogs.h"
#include "platform/gui/display_env.h"
#include "platform/gui/status_panel.h"
#include "platform/system/clock.h"
#include "platform/system/stop_signals.h"
#include "toolsupport/ui/report_protocol.h"
#include "toolsupport/base/switches.h"

namespace {

constexpr const char* kCancelQuestion = "Do you want to cancel?";
constexpr size_t kCaptionLimit = 256;

// Cuts a text to at most `limit` bytes without splitting a UTF-8 sequence.
std::string Cut(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

class StatusWindowModule : public platform::StatusPanelEvents {
 public:
  // Report switches.
  int32_t frontEnd = 0;
  bool closeAtOnce = false;

  std::unique_ptr<platform::StatusPanel> panel;
  bool console = false;  // the console face stands in for the window
  std::string title;
  std::string versionLine;
  std::string statusText;
  uint8_t closeRequests = 0;
  bool noMoreQuestions = false;
  bool cancel = false;
  uint64_t nextStatusTime = 0;
  int exitCode = 1;
  bool windowClosed = false;  // the window existed and is gone
  bool panelWithoutViewer = false;  // tests drive the panel on platforms nobody sees

  bool Exists() const { return console || panel != nullptr; }
  bool Visible() const { return panel && panel->IsVisible(); }

  void DestroyWindow() {
    if (panel) windowClosed = true;
    panel.reset();
  }

  // The close box, the window menu, or the session ending: asks before giving up the work.
  void AskToCancel() {
    ++closeRequests;
    if (!noMoreQuestions && AskYesNo(true, kCancelQuestion)) {
      noMoreQuestions = true;
      cancel = true;
    }
  }

  void CloseRequested() override {
    AskToCancel();
    if (noMoreQuestions) DestroyWindow();
  }

  void ButtonPressed() override { AskToCancel(); }

  void Restored() override {
    if (frontEnd != 0) SendRestoreNotice(frontEnd);
  }

  void TakeStopSignal() {
    if (!platform::TakeStopSignal()) return;
    ++closeRequests;
    noMoreQuestions = true;
    cancel = true;
  }

  // Where nobody can see a window (no display, or Qt's offscreen and minimal platforms) the
  // console face stands in, so that nothing waits for a button nobody can press.
  bool ShowsPanel() const {
    return platform::PersonCanAnswer() || (panelWithoutViewer && platform::WindowsAvailable());
  }

  void ShowStatus(const std::string& text, bool print) {
    if (!Exists()) return;
    statusText = Cut(text, kStatusTextLimit);
    if (console) {
      if (print) std::fprintf(stderr, "%s\n", statusText.c_str());
      PumpMessages();
      return;
    }
    if (!panel->IsVisible() && !panel->IsMinimized()) {
      PumpMessages();
      if (panel) panel->ShowNormal();
      PumpMessages();
    }
    if (panel) panel->SetStatusText(statusText);
    PumpMessages();
  }

  void AfterDialog() {
    if (Visible()) {
      panel->ShowNormal();
      panel->FocusButton();
    }
    PumpMessages();
  }
};

StatusWindowModule& Module() {
  static StatusWindowModule module;
  return module;
}

}  // namespace

void ReadReportSwitches(std::string& commandText) {
  StatusWindowModule& m = Module();
  m.frontEnd = GetNumberSwitch(0, '#', commandText);
  m.closeAtOnce = GetFlagSwitch('#', commandText);
}

int32_t ReportReceiverNumber() { return Module().frontEnd; }

bool CloseAtOnceRequested() { return Module().closeAtOnce; }

bool CreateStatusWindow(const std::string& versionLine, const std::string& title) {
  StatusWindowModule& m = Module();
  m.title = Cut(title, kCaptionLimit);
  m.versionLine = Cut(versionLine, kStatusTextLimit);
  m.statusText = "Loading...";
  if (m.ShowsPanel()) {
    m.panel = platform::StatusPanel::Create(m.title, m.versionLine, m);
  } else {
    m.console = true;
    std::fprintf(stderr, "%s - %s\n", m.title.c_str(), m.versionLine.c_str());
  }
  if (!m.Exists()) return false;
  platform::InstallStopSignals();
  PumpMessages();
  if (m.panel) m.panel->FocusButton();
  return true;
}

void SetStatusText(const std::string& text) { Module().ShowStatus(text, true); }

void ShowMessage(bool error, const std::string& text) {
  StatusWindowModule& m = Module();
  platform::ShowMessageBox(m.Exists() ? m.title : std::string(), text,
                           error ? platform::DialogIcon::Error : platform::DialogIcon::Information,
                           m.Visible() ? m.panel->Widget() : nullptr);
  m.AfterDialog();
}

bool AskYesNo(bool defaultNo, const std::string& question) {
  StatusWindowModule& m = Module();
  // The console face prints the question with its answer, so the line is not printed twice.
  m.statusText = Cut(question, kStatusTextLimit);
  if (m.panel) m.panel->SetStatusText(m.statusText);
  const bool yes = platform::AskYesNo(m.Exists() ? m.title : std::string(), question, defaultNo,
                                      m.Visible() ? m.panel->Widget() : nullptr);
  m.statusText = Cut(m.statusText + (yes ? " Yes." : " No."), kStatusTextLimit);
  if (m.panel) m.panel->SetStatusText(m.statusText);
  m.AfterDialog();
  return yes;
}

int PumpMessages() {
  StatusWindowModule& m = Module();
  platform::ProcessStatusEvents();
  m.TakeStopSignal();
  return m.windowClosed ? 1 : 0;
}

void ShowStatusProgress(toolsupport::ProgressKind kind, const std::string& text) {
  StatusWindowModule& m = Module();
  const uint64_t now = platform::NowMilliseconds();
  if (kind == toolsupport::ProgressKind::StatusNow || now >= m.nextStatusTime) {
    m.ShowStatus(text, true);
    m.nextStatusTime = now + 250;
  }
  PumpMessages();
}

toolsupport::Progress StatusProgress() { return toolsupport::Progress(ShowStatusProgress, StatusCancelled); }

void RequestStop() { Module().cancel = true; }

bool StatusCancelled() {
  PumpMessages();
  return Module().cancel;
}

void MarkWorkCompleted() { Module().exitCode = 0; }

int StatusExitCode() { return Module().exitCode; }

void FinishStatusWindow(bool success) {
  StatusWindowModule& m = Module();
  // The report goes out whatever became of the window: a batch waits for it.
  if (m.frontEnd != 0) {
    const std::string caption = m.panel ? m.panel->Caption() : m.title;
    SendStatusReport(m.frontEnd, BuildStatusReportText(Cut(caption, kCaptionLimit), m.versionLine,
                                                       m.statusText));
  }
  if (m.panel && !m.closeAtOnce && success && m.panel->IsVisible()) {
    m.noMoreQuestions = true;
    const uint8_t remembered = m.closeRequests;
    m.panel->SetButtonText("&Done");
    while (m.panel && m.panel->Widget() != nullptr && m.closeRequests == remembered) {
      PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
  }
  m.DestroyWindow();
  platform::ProcessStatusEvents();
  platform::RemoveStopSignals();
}

bool ConfirmOverwrite(const std::string& fileName) {
  struct stat info {};
  if (lstat(fileName.c_str(), &info) != 0) return true;
  return AskYesNo(true, "File " + fileName + " exists, overwrite?");
}

void ResetStatusWindowForTesting() {
  StatusWindowModule& m = Module();
  m.DestroyWindow();
  platform::ProcessStatusEvents();
  platform::RemoveStopSignals();
  m.panelWithoutViewer = false;
  m.frontEnd = 0;
  m.closeAtOnce = false;
  m.console = false;
  m.windowClosed = false;
  m.title.clear();
  m.versionLine.clear();
  m.statusText.clear();
  m.closeRequests = 0;
  m.noMoreQuestions = false;
  m.cancel = false;
  m.nextStatusTime = 0;
  m.exitCode = 1;
}

platform::StatusPanel* StatusPanelForTesting() { return Module().panel.get(); }

void ShowStatusPanelWithoutViewerForTesting() { Module().panelWithoutViewer = true; }

const std::string& CurrentStatusText() { return Module().statusText; }
