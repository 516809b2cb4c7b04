#pragma once
// How long a command-line tool takes to start and end when it has nothing to do.
#include <string>

namespace speedbench {

// Runs `program` with no arguments and no display `runs` times and prints the median wall time
// against its target; false when the program could not run or the target was missed.
bool PrintStartUpSummary(const std::string& program, int runs);

}  // namespace speedbench
