#pragma once
// The names of the speed comparison's runs, the reporter that keeps their figures, and the
// summary that sets them against their targets.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

#include "bench/speed_files.h"

namespace speedbench {

std::string GifDecodeRun(const ClipFiles& files);
std::string VideoDecodeRun(const ClipFiles& files, const std::string& output);  // "8bit", "16bit", "doubled"
std::string OptimisedGifDecodeRun(const ClipFiles& files);
std::string ExactDecodeRun(const ClipFiles& files);
std::string CompressorRun(const ClipFiles& files, bool oneThread);  // oneThread: VANT_THREADS=1
std::string OptimiserRun(const ClipFiles& files);

// Keeps the figures of every run (the median when runs are repeated) for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter();
  void ReportRuns(const std::vector<Run>& reports) override;
  // Figure("gif_decode/shapes", "frames/s"); 0 when the run is missing.
  double Figure(const std::string& name, const std::string& key) const;

 private:
  std::map<std::string, std::map<std::string, double>> figures_;
  std::map<std::string, bool> medians_;
};

// Prints decoding, encoding and heap figures with their targets; false when one is missed.
bool PrintSummary(const SummaryReporter& reporter, const std::vector<ClipFiles>& clips, bool haveOptimiser);

}  // namespace speedbench
