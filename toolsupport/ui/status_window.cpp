#include "toolsupport/ui/status_window.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/face/dialogs.h"
#include "platform/face/display_env.h"
#include "platform/face/status_panel.h"
#include "platform/face/window_faces.h"
#include "platform/system/stop_signals.h"
#include "toolsupport/ui/report_protocol.h"
#include "toolsupport/base/switches.h"

namespace {

constexpr const char* kCancelQuestion = "Do you want to cancel?";
constexpr const char* kStoppedBySignal = "Stopped by a signal.";
constexpr size_t kCaptionLimit = 256;

// Cuts a text to at most `limit` bytes without splitting a UTF-8 sequence.
std::string Cut(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// The text with its line breaks (and the blanks around them) made single blanks.
std::string OneLine(const std::string& text) {
  std::string line;
  bool breakPending = false;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      breakPending = true;
      continue;
    }
    if (breakPending && c == ' ') continue;
    if (breakPending) {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      if (!line.empty()) line += ' ';
      breakPending = false;
    }
    line += c;
  }
  return line;
}

}  // namespace

// What the panel tells its owner.
class StatusWindowEvents : public platform::StatusPanelEvents {
 public:
  explicit StatusWindowEvents(StatusWindow& owner) : owner_(owner) {}

  void CloseRequested() override {
    owner_.AskToCancel();
    if (owner_.noMoreQuestions_) owner_.DestroyWindow();
  }

  void ButtonPressed() override { owner_.AskToCancel(); }

  void Restored() override {
    if (owner_.frontEnd_ != 0) SendRestoreNotice(owner_.frontEnd_);
  }

 private:
  StatusWindow& owner_;
};

StatusWindow::StatusWindow(platform::Clock& clock)
    : clock_(clock), events_(std::make_unique<StatusWindowEvents>(*this)) {}

namespace {

// Window events are delivered only once the Qt faces are in use: without them there are none.
void ProcessWindowEvents() {
  if (platform::WindowFaces* faces = platform::QtFacesIfLoaded()) faces->ProcessEvents();
}

}  // namespace

StatusWindow::~StatusWindow() {
  DestroyWindow();
  ProcessWindowEvents();
  if (signalsInstalled_) platform::RemoveStopSignals();
}

bool StatusWindow::Visible() const { return panel_ && panel_->IsVisible(); }

void StatusWindow::DestroyWindow() {
  if (panel_) windowClosed_ = true;
  panel_.reset();
}

// The close box, the window menu, or the session ending: asks before giving up the work.
void StatusWindow::AskToCancel() {
  ++closeRequests_;
  if (!noMoreQuestions_ && AskYesNo(true, kCancelQuestion)) {
    noMoreQuestions_ = true;
    cancel_ = true;
  }
}

void StatusWindow::TakeStopSignal() {
  if (!platform::TakeStopSignal()) return;
  ++closeRequests_;
  noMoreQuestions_ = true;
  cancel_ = true;
  stoppedBySignal_ = true;
  exitCode_ = 1;
  // The reason the run ends is its last status text, whatever the work shows while it stops.
  ShowStatus(kStoppedBySignal, true);
  finalText_ = true;
}

// Where nobody can see a window (no display, or Qt's offscreen and minimal platforms) the
// console face stands in, so that nothing waits for a button nobody can press.
bool StatusWindow::ShowsPanel() const {
  return platform::PersonCanAnswer() || (panelWithoutViewer_ && platform::WindowsAvailable());
}

void StatusWindow::ShowStatus(const std::string& text, bool print) {
  if (!Exists() || finalText_) return;
  statusText_ = Cut(text, kStatusTextLimit);
  if (console_) {
    if (print) std::fprintf(stderr, "%s\n", statusText_.c_str());
    PumpMessages();
    return;
  }
  if (!panel_->IsVisible() && !panel_->IsMinimized()) {
    PumpMessages();
    if (panel_) panel_->ShowNormal();
    PumpMessages();
  }
  if (panel_) panel_->SetStatusText(statusText_);
  PumpMessages();
}

void StatusWindow::AfterDialog() {
  if (Visible()) {
    panel_->ShowNormal();
    panel_->FocusButton();
  }
  PumpMessages();
}

void StatusWindow::ReadReportSwitches(std::string& commandText) {
  frontEnd_ = GetNumberSwitch(0, '#', commandText);
  closeAtOnce_ = GetFlagSwitch('#', commandText);
}

bool StatusWindow::Create(const std::string& versionLine, const std::string& title) {
  title_ = Cut(title, kCaptionLimit);
  versionLine_ = Cut(versionLine, kStatusTextLimit);
  statusText_ = "Loading...";
  platform::WindowFaces* faces = ShowsPanel() ? platform::QtFaces() : nullptr;
  if (faces != nullptr) {
    panel_ = faces->CreateStatusPanel(title_, versionLine_, *events_);
  } else {
    console_ = true;
    std::fprintf(stderr, "%s - %s\n", title_.c_str(), versionLine_.c_str());
  }
  if (!Exists()) return false;
  platform::InstallStopSignals();
  signalsInstalled_ = true;
  PumpMessages();
  if (panel_) panel_->FocusButton();
  return true;
}

void StatusWindow::ShowMessage(bool error, const std::string& text) {
  // An error is what the report is to say: it becomes the status text (one line; the box
  // itself prints it on the console).
  if (error && !finalText_ && Exists()) {
    statusText_ = Cut(OneLine(text), kStatusTextLimit);
    if (panel_) panel_->SetStatusText(statusText_);
  }
  platform::ShowMessageBox(Exists() ? title_ : std::string(), text,
                           error ? platform::DialogIcon::Error : platform::DialogIcon::Information,
                           Visible() ? panel_->Widget() : nullptr);
  AfterDialog();
}

bool StatusWindow::AskYesNo(bool defaultNo, const std::string& question) {
  // The console face prints the question with its answer, so the line is not printed twice.
  statusText_ = Cut(question, kStatusTextLimit);
  if (panel_) panel_->SetStatusText(statusText_);
  const bool yes = platform::AskYesNo(Exists() ? title_ : std::string(), question, defaultNo,
                                      Visible() ? panel_->Widget() : nullptr);
  statusText_ = Cut(statusText_ + (yes ? " Yes." : " No."), kStatusTextLimit);
  if (panel_) panel_->SetStatusText(statusText_);
  AfterDialog();
  return yes;
}

int StatusWindow::PumpMessages() {
  ProcessWindowEvents();
  TakeStopSignal();
  return windowClosed_ ? 1 : 0;
}

void StatusWindow::ShowProgress(toolsupport::ProgressKind kind, const std::string& text) {
  const uint64_t now = clock_.Now();
  if (kind == toolsupport::ProgressKind::StatusNow || now >= nextStatusTime_) {
    ShowStatus(text, true);
    nextStatusTime_ = now + 250;
  }
  PumpMessages();
}

toolsupport::Progress StatusWindow::Progress() {
  return toolsupport::Progress([this](toolsupport::ProgressKind kind, const std::string& text) { ShowProgress(kind, text); },
                               [this] { return Cancelled(); });
}

bool StatusWindow::Cancelled() {
  PumpMessages();
  return cancel_;
}

void StatusWindow::Finish(bool success) {
  // The report goes out whatever became of the window: a batch waits for it.
  if (frontEnd_ != 0) {
    const std::string caption = panel_ ? panel_->Caption() : title_;
    SendStatusReport(frontEnd_, BuildStatusReportText(Cut(caption, kCaptionLimit), versionLine_,
                                                      statusText_));
  }
  if (panel_ && !closeAtOnce_ && success && panel_->IsVisible()) {
    noMoreQuestions_ = true;
    const uint8_t remembered = closeRequests_;
    panel_->SetButtonText("&Done");
    while (panel_ && panel_->Widget() != nullptr && closeRequests_ == remembered) {
      PumpMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
  }
  DestroyWindow();
  ProcessWindowEvents();
  platform::RemoveStopSignals();
  signalsInstalled_ = false;
}

bool StatusWindow::ConfirmOverwrite(const std::string& fileName) {
  struct stat info {};
  if (lstat(fileName.c_str(), &info) != 0) return true;
  return AskYesNo(true, "File " + fileName + " exists, overwrite?");
}

namespace {

// The default window, made anew by the reset of the tests. Never destroyed: a window still open
// at exit is left to the window system rather than closed after it.
std::unique_ptr<StatusWindow>& DefaultSlot() {
  static auto* const slot = new std::unique_ptr<StatusWindow>(std::make_unique<StatusWindow>());
  return *slot;
}

}  // namespace

StatusWindow& DefaultStatusWindow() { return *DefaultSlot(); }

void ReadReportSwitches(std::string& commandText) { DefaultStatusWindow().ReadReportSwitches(commandText); }
int32_t ReportReceiverNumber() { return DefaultStatusWindow().ReportReceiverNumber(); }
bool CloseAtOnceRequested() { return DefaultStatusWindow().CloseAtOnceRequested(); }
bool CreateStatusWindow(const std::string& versionLine, const std::string& title) {
  return DefaultStatusWindow().Create(versionLine, title);
}
void SetStatusText(const std::string& text) { DefaultStatusWindow().SetStatusText(text); }
void ShowMessage(bool error, const std::string& text) { DefaultStatusWindow().ShowMessage(error, text); }
bool AskYesNo(bool defaultNo, const std::string& question) {
  return DefaultStatusWindow().AskYesNo(defaultNo, question);
}
int PumpMessages() { return DefaultStatusWindow().PumpMessages(); }
void ShowStatusProgress(toolsupport::ProgressKind kind, const std::string& text) {
  DefaultStatusWindow().ShowProgress(kind, text);
}
toolsupport::Progress StatusProgress() { return toolsupport::Progress(ShowStatusProgress, StatusCancelled); }
void RequestStop() { DefaultStatusWindow().RequestStop(); }
bool StatusCancelled() { return DefaultStatusWindow().Cancelled(); }
void MarkWorkCompleted() { DefaultStatusWindow().MarkWorkCompleted(); }
int StatusExitCode() { return DefaultStatusWindow().ExitCode(); }
void FinishStatusWindow(bool success) { DefaultStatusWindow().Finish(success); }
bool ConfirmOverwrite(const std::string& fileName) { return DefaultStatusWindow().ConfirmOverwrite(fileName); }

void ResetStatusWindowForTesting() {
  std::unique_ptr<StatusWindow>& slot = DefaultSlot();
  slot.reset();
  slot = std::make_unique<StatusWindow>();
}

platform::StatusPanel* StatusPanelForTesting() { return DefaultStatusWindow().Panel(); }
void ShowStatusPanelWithoutViewerForTesting() { DefaultStatusWindow().ShowPanelWithoutViewer(); }
const std::string& CurrentStatusText() { return DefaultStatusWindow().StatusText(); }
