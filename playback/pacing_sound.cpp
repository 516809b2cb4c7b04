#include "pacing_sound.h"

// No sound track opens yet, so no video has a pacing track: there is nothing to report and
// nothing to queue. The sound tracks give both their bodies.

bool ReadPacingTrack(const VantVideo* /*video*/, PacingTrackFigures& figures) {
  figures = PacingTrackFigures{};
  return false;
}

void ProcessFrameSound(VantVideo* /*video*/) {}
