#include "toolsupport/ui/tool_run.h"

#include <new>
#include <stdexcept>

#include "toolsupport/ui/status_window.h"

void ShowFailure(const toolsupport::Status& status) {
  if (status.ok()) return;
  for (const std::string& message : status.messages()) ShowMessage(true, message);
  RequestStop();
}

int RunTool(std::string commandText, const std::string& versionLine, const std::string& title,
            const std::function<toolsupport::Status(const std::string&, std::string&)>& work) {
  ReadReportSwitches(commandText);
  PumpMessages();
  CreateStatusWindow(versionLine, title);
  bool completed = false;
  std::string report;
  try {
    const toolsupport::Status status = work(commandText, report);
    ShowFailure(status);
    completed = status.ok() && !StatusCancelled();
  } catch (const std::bad_alloc&) {
    ShowFailure(toolsupport::Status::Error(kOutOfMemoryMessage));
  } catch (const std::length_error&) {  // a size past what any memory holds
    ShowFailure(toolsupport::Status::Error(kOutOfMemoryMessage));
  }
  if (completed) {
    SetStatusText(report);
    MarkWorkCompleted();
  }
  FinishStatusWindow(completed);
  return StatusExitCode();
}
