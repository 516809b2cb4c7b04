#include "toolsupport/ui/tool_run.h"

#include <new>
#include <stdexcept>

#include "toolsupport/ui/status_window.h"

bool FailWith(const char* message) {
  StatusCallback(2, message);
  return false;
}

int RunTool(std::string commandText, const std::string& versionLine, const std::string& title,
            const std::function<bool(const std::string&, std::string&)>& work,
            const std::function<void(bool)>& cleanup) {
  ReadReportSwitches(commandText);
  PumpMessages();
  CreateStatusWindow(versionLine, title);
  bool completed = false;
  std::string report;
  try {
    completed = work(commandText, report) && !StatusCancelled();
  } catch (const std::bad_alloc&) {
    FailWith(kOutOfMemoryMessage);
  } catch (const std::length_error&) {  // a size past what any memory holds
    FailWith(kOutOfMemoryMessage);
  }
  if (completed) {
    SetStatusText(report);
    MarkWorkCompleted();
  }
  cleanup(completed);
  FinishStatusWindow(completed);
  return StatusExitCode();
}
