#pragma once
// The frame every command-line tool runs in: report switches, status window, the work, its
// success text or its failure's message boxes, the report to the front end and the exit code.
#include <functional>
#include <string>
#include <utility>

#include "toolsupport/base/file_errors.h"
#include "toolsupport/base/status.h"

inline constexpr const char* kOutOfMemoryMessage = "Error: ran out of memory!";

// Shows each text of a failed status in the status window's message box and asks the run to
// stop; nothing for success.
void ShowFailure(const toolsupport::Status& status);

// Takes the report switches off the command text, creates the status window, then calls `work`
// with the rest of the text. `work` returns success when the output is complete (and puts the
// final status text into `report`), else why not: its messages are shown here. Running out of
// memory is reported as such. Whatever the work holds is to be released when it returns (an
// output it did not commit removes itself), before the status window finishes. Returns the exit
// code: 0 when the work completed and no stop was asked for, else 1.
int RunTool(std::string commandText, const std::string& versionLine, const std::string& title,
            const std::function<toolsupport::Status(const std::string& commandText, std::string& report)>& work);

// RunTool for work on a record of its own (`Run`, with a `report` member for the final status
// text): the record is made for the work and destroyed as soon as the work returns.
template <typename Run>
int RunToolWith(std::string commandText, const std::string& versionLine, const std::string& title,
                toolsupport::Status (*work)(const std::string& commandText, Run& run)) {
  return RunTool(std::move(commandText), versionLine, title, [work](const std::string& text, std::string& report) {
    Run run;
    const toolsupport::Status done = work(text, run);
    report = run.report;
    return done;
  });
}
