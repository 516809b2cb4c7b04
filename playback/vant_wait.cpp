// VantWait: whether the next frame is due, by the pacing track's sound or by the clock.
#include "playback/library_state.h"
#include "playback/pacing_sound.h"
#include "platform/system/clock.h"
#include "playback/vant.h"
#include "playback/video_reading.h"

namespace {

constexpr uint64_t kNotStarted = UINT64_MAX;

int32_t WaitForSound(VantVideo* video) {
  if (video->soundWait == 0) return 0;
  PacingTrackFigures figures;
  if (ReadPacingTrack(video, figures) && !PacingTrackIsDue(figures)) {
    BackgroundRead(video);
    return 1;
  }
  video->soundWait = 0;
  return 0;
}

// The clock in 10 us units is kept in 64 bits: a product folded to 32 bits would jump back
// after 11.9 hours of uptime and make the wait last until it came round again.
int32_t WaitForClock(VantVideo* video) {
  if (video->frameDue) return 0;
  const uint64_t now = platform::NowMilliseconds() * 100;
  const uint64_t period = video->framePeriod;
  if (video->nextFrameTime == kNotStarted) {
    video->nextFrameTime = now + period;
    BackgroundRead(video);
    return 1;
  }
  if (now < video->nextFrameTime) {
    BackgroundRead(video);
    return 1;
  }
  video->nextFrameTime += period;
  // A caller that fell behind goes on from now instead of rushing through the missed frames.
  if (now > video->nextFrameTime && now - video->nextFrameTime > period) video->nextFrameTime = now + period;
  video->frameDue = period != 0;
  return 0;
}

}  // namespace

int32_t VantWait(VantVideo* video) {
  if (video == nullptr || video->readFailed) return 0;
  RunSoundService();
  // With its sound turned off the pacing track cannot pace: the clock takes over.
  if (video->pacingTrack >= 0 && !video->soundOff) return WaitForSound(video);
  return WaitForClock(video);
}
