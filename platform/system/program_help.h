#pragma once
// What every program answers about itself beside its own switches: "--help" and "--version".
#include <cstdio>
#include <optional>
#include <string>

namespace platform {

// The toolkit's version, the same for every program and library of it.
const char* ToolkitVersion();

// Looks at the words that begin with "--" before a program reads its arguments. Any such word
// other than "--help" and "--version" is an unknown switch: it is named and the usage goes to
// `errors`, exit code 1. Else "--help" writes the usage to `out` and "--version" one line, the
// program's name and the version, both with exit code 0. A usage or version line that cannot be
// written gives 1. Nothing (the run goes on) when no word begins with "--".
std::optional<int> AnswerHelpAndVersion(int argc, const char* const* argv, const char* program,
                                        const std::string& usage, std::FILE* out = stdout,
                                        std::FILE* errors = stderr);

// The usage as a terminal shows it: line ends of message boxes ("\r\n") become "\n", and the
// text ends with one.
std::string UsageForTerminal(const std::string& usage);

}  // namespace platform
