#include "bench/start_up.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/speed_files.h"

namespace speedbench {
namespace {

constexpr double kStartUpTargetMs = 10.0;

}  // namespace

bool PrintStartUpSummary(const std::string& program, int runs) {
  std::printf("\nStart-up: %s with no arguments and no display, %d runs\n", program.c_str(), runs);
  std::vector<double> milliseconds;
  for (int run = 0; run < runs; ++run) {
    int exitCode = 0;  // the usage text ends the run with 1; that is what is timed
    const double seconds = RunTimed({program}, nullptr, {}, {}, &exitCode);
    if (seconds < 0) {
      std::printf("  the program did not run\n");
      return false;
    }
    milliseconds.push_back(seconds * 1000);
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  const double median = milliseconds[milliseconds.size() / 2];
  const bool met = median <= kStartUpTargetMs;
  std::printf("  median %.1f ms, fastest %.1f ms, slowest %.1f ms (target at most %.0f ms: %s)\n", median,
              milliseconds.front(), milliseconds.back(), kStartUpTargetMs, met ? "met" : "MISSED");
  return met;
}

}  // namespace speedbench
