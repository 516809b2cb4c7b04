#pragma once
// The resident memory of the smallest program on the embeddable library: it opens a video with
// libvant.so and decodes one frame.
#include <string>
#include <vector>

#include "bench/speed_files.h"

namespace speedbench {

// Prints the peak resident memory of open_one_frame on each clip's video against its target;
// `programs` is the folder of open_one_frame and child_peak, `folder` one for a scratch file.
// False when a run fails or the target is missed.
bool PrintResidentSummary(const std::string& programs, const std::vector<ClipFiles>& clips, const std::string& folder);

}  // namespace speedbench
