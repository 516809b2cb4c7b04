#pragma once
// The frame every command-line tool runs in: report switches, status window, the work, its
// success text, the cleanup, the report to the front end and the exit code.
#include <functional>
#include <string>

inline constexpr const char* kOutOfMemoryMessage = "Error: ran out of memory!";
inline constexpr const char* kSameFileMessage = "Output filename must be different than the input filename.";
inline constexpr const char* kWriteErrorMessage = "Error writing to disk - probably out of disk space.";

// Shows the error in the status window's message box and asks the run to stop; always false.
bool FailWith(const char* message);

// Takes the report switches off the command text, creates the status window, then calls `work`
// with the rest of the text. `work` returns true when the output is complete and puts the final
// status text into `report`. Running out of memory is reported as such. `cleanup` always runs
// (with whether the work completed) before the status window finishes. Returns the exit code:
// 0 when the work completed and no stop was asked for, else 1.
int RunTool(std::string commandText, const std::string& versionLine, const std::string& title,
            const std::function<bool(const std::string& commandText, std::string& report)>& work,
            const std::function<void(bool completed)>& cleanup);
