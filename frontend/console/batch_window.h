#pragma once
// The batch runner's window: it shows the batch file, runs its lines through the launcher one
// after the other, and takes the tools' reports while it is open (passing them on to the
// console), so that it knows when the tool of a line is done.
#include <memory>
#include <string>
#include <vector>

#include "frontend/console/batch_runner.h"
#include "frontend/files/dialog_window.h"

class QPlainTextEdit;
class QPushButton;
class QSocketNotifier;
class QTimer;

namespace platform {
class ProcessExitWatch;
}

namespace frontend {

class ReportEndpoint;

inline constexpr int kBatchHelpContext = 1102;

class Tbatchform : public DialogWindow {
 public:
  Tbatchform(FrontEnd& frontEnd, const std::string& file, std::vector<std::string> lines);
  ~Tbatchform() override;

  QPlainTextEdit* batchfile() const { return memo_; }
  QPushButton* cancelButton() const { return cancel_; }
  BatchRunner& runner() { return *runner_; }
  // The endpoint its tools report to (0 when none could be made).
  int32_t reportNumber() const;

  // Runs the lines from its first tick on and closes when they are done.
  void RunLines();
  // The cancel question; Yes stops the batch before its next line.
  void AskCancel();

 protected:
  void reject() override;

 private:
  void ShowLine(size_t index, const std::string& text);
  void Watch(int processId);
  void CheckTool();
  void ContinueSoon();

  QPlainTextEdit* memo_;
  QPushButton* cancel_;
  std::unique_ptr<BatchRunner> runner_;
  std::unique_ptr<ReportEndpoint> endpoint_;
  std::unique_ptr<platform::ProcessExitWatch> watch_;
  QSocketNotifier* exitNotifier_ = nullptr;  // children of the window
  QTimer* exitPoll_ = nullptr;
  bool closing_ = false;
};

// Runs the batch file with the words that followed its name as %1 to %9: echoes the command,
// shows the runner until the batch is done, and gives back the parameters that were in force
// (so a batch can run another batch).
void RunBatchFile(FrontEnd& frontEnd, const std::string& file, const std::string& parameters);

}  // namespace frontend
