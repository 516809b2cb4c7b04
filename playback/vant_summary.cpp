// VantSummary: the statistics of a playback.
#include <algorithm>

#include "playback/frame_timing.h"
#include "playback/pacing_sound.h"
#include "platform/system/clock.h"
#include "playback/vant.h"

namespace {

uint32_t Clamp32(uint64_t value) { return static_cast<uint32_t>(std::min<uint64_t>(value, UINT32_MAX)); }

}  // namespace

int32_t VantSummary(VantVideo* video, VantSummaryInfo* info) {
  if (video == nullptr || info == nullptr) return 0;
  UpdateFrameTiming(video);
  const uint64_t now = platform::NowMilliseconds();
  PacingTrackFigures pacing;
  const bool paced = ReadPacingTrack(video, pacing);
  const uint64_t readBytes = video->foregroundBytes + video->backgroundBytes;
  const uint64_t readMs = uint64_t{video->foregroundMs} + video->backgroundMs;

  VantSummaryInfo s{};
  s.totalTime = video->framesPlayed == 0 ? 0 : Clamp32(now - video->playbackStartTime);
  s.framePeriod = video->framePeriod;
  s.openTime = video->openTime;
  s.framesPlayed = video->framesPlayed;
  s.framesSkipped = video->framesSkipped;
  s.soundSkips = paced ? pacing.soundSkips : 0;
  s.blitTime = video->blitMs;
  s.readTime = video->foregroundMs - std::min(video->foregroundMs, video->openReadTime);
  s.decompressTime = video->decompressMs;
  s.backgroundReadTime = video->backgroundMs;
  s.readSpeed = readMs == 0 ? 0 : Clamp32(readBytes * 1000 / readMs);
  s.slowestFrameTime = video->slowestTime;
  s.secondSlowestFrameTime = video->secondSlowestTime;
  s.slowestFrame = video->slowestFrame;
  s.secondSlowestFrame = video->secondSlowestFrame;
  s.averageFrameSize = video->averageFrameSize;
  s.highestRate = Clamp32(video->highestRate);
  s.highestRateFrame = video->highestRateFrame + 1;
  s.peakMemory = Clamp32(video->peakMemory);
  s.extraBufferTotal = Clamp32(video->extraBufferSize);
  s.extraBufferHighest = Clamp32(video->highestFill);
  *info = s;
  return 1;
}
