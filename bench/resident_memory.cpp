#include "bench/resident_memory.h"

#include <cstdio>
#include <fstream>

namespace speedbench {
namespace {

constexpr long kResidentTargetKb = 4 * 1024;

// The peak in kilobytes that child_peak reports for open_one_frame on the video; -1 on failure.
long PeakResidentKb(const std::string& programs, const std::string& video, const std::string& report) {
  if (RunTimed({programs + "/child_peak", programs + "/open_one_frame", video}, nullptr, report) < 0) return -1;
  std::ifstream in(report);
  long kilobytes = -1;
  return in >> kilobytes ? kilobytes : -1;
}

}  // namespace

bool PrintResidentSummary(const std::string& programs, const std::vector<ClipFiles>& clips, const std::string& folder) {
  std::printf("\nResident memory of open_one_frame (libvant.so: open a video, decode one frame)\n");
  bool met = true;
  for (const ClipFiles& files : clips) {
    const long peak = PeakResidentKb(programs, files.video, folder + "/peak.txt");
    if (peak < 0) {
      std::printf("  %-16s the program failed\n", files.name.c_str());
      met = false;
      continue;
    }
    met = met && peak <= kResidentTargetKb;
    std::printf("  %-16s %u x %u: peak %6.1f MB (target <= 4 MB: %s)\n", files.name.c_str(), files.clip.width,
                files.clip.height, peak / 1024.0, peak <= kResidentTargetKb ? "met" : "MISSED");
  }
  return met;
}

}  // namespace speedbench
