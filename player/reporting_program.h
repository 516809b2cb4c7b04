#pragma once
// The frame of the programs that report to the front end with their banner (the player and the
// script player): the command text from the arguments, the report switch, the front end's
// question, the run, and the final report.
#include <functional>
#include <string>

// Builds the command text, takes "/#" with its number and then a bare "/#" off it, asks the
// receiver whether it wants the report (the front end's own about box replaces the package box
// then), dispatches waiting window events and runs `run` with the rest of the text. The report
// goes out afterwards, whatever the run's exit code, when a receiver wants it and still exists.
// Returns the run's exit code.
int RunReportingProgram(int argc, const char* const* argv, const std::string& reportText,
                        const std::function<int(std::string commandText, bool packageBox)>& run);
