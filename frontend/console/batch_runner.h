#pragma once
// Running a batch file's lines one after the other. After a line that started a tool the run
// waits until something reports to it, the tool ends, or the run is cancelled; a line whose
// tool could not be started, and every built-in command, goes straight on to the next line.
// The window around it gives it the launcher and the watching of the started program.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "frontend/core/launcher.h"

namespace frontend {

inline constexpr const char* kCurrentLineMark = "Current ==> ";
inline constexpr const char* kEndedWithoutReport = "  The tool ended without sending a report.";

// The line without the characters below 33 at either end.
std::string TrimBatchLine(const std::string& line);

class BatchRunner {
 public:
  struct Hooks {
    // Runs one trimmed line through the launcher.
    std::function<RunOutcome(const std::string& line)> run;
    // Shows line `index` as `text` (marked while it runs, as written again afterwards).
    std::function<void(size_t index, const std::string& text)> show;
    // Watches the started program (0: not known) until it ends, then calls ToolEnded.
    std::function<void(int processId)> watch;
    // A console line.
    std::function<void(const std::string& text)> tell;
    // Every line is done, or the run was cancelled.
    std::function<void()> finished;
  };

  BatchRunner(std::vector<std::string> lines, Hooks hooks);

  // Runs the lines from the next one until a started tool is waited for, or to the end. Does
  // nothing while a line runs, while it waits, and once it is finished.
  void Continue();
  // Something reported to the run; true when that ended a wait (Continue goes on then).
  bool ReportArrived();
  // The awaited tool ended; true when it ended a wait without a report.
  bool ToolEnded();
  // No further line starts; a wait ends, and the run finishes once no line runs.
  void Cancel();

  bool waiting() const { return waiting_; }
  bool cancelled() const { return cancelled_; }
  bool finished() const { return finished_; }

 private:
  void EndWait();
  void Finish();

  std::vector<std::string> lines_;
  Hooks hooks_;
  size_t next_ = 0;
  size_t current_ = 0;
  bool running_ = false;
  bool waiting_ = false;
  bool cancelled_ = false;
  bool finished_ = false;
};

}  // namespace frontend
