// VantDoFrame, VantNextFrame and VantGoto: decoding the current frame and moving between frames.
#include <algorithm>

#include "playback/frame_decoder.h"
#include "playback/frame_timing.h"
#include "playback/library_state.h"
#include "playback/pacing_sound.h"
#include "platform/system/clock.h"
#include "playback/vant.h"
#include "playback/video_reading.h"

namespace {

uint16_t Rgb555(const uint8_t c[3]) { return static_cast<uint16_t>((c[0] >> 3) << 10 | (c[1] >> 3) << 5 | c[2] >> 3); }
uint16_t Rgb565(const uint8_t c[3]) { return static_cast<uint16_t>((c[0] >> 3) << 11 | (c[1] >> 2) << 5 | c[2] >> 3); }

// Once a palette has come, the 16-bit colours are made anew before every decoded frame. Pixel
// formats other than 5-5-5 and 5-6-5 keep the table as it is.
void RebuildColorTable(VantVideo* video) {
  if (video->colorTable == nullptr || !video->colorTableDirty) return;
  const uint8_t format = video->destination->pixelFormat;
  uint16_t (*pixel)(const uint8_t[3]) = nullptr;
  if (format == 0x80) pixel = Rgb555;
  if (format == 0xA0 || format == 0xC0 || format == 0xE0) pixel = Rgb565;
  if (pixel == nullptr) return;
  for (int i = 0; i < 256; ++i) video->colorTable[i] = pixel(video->palette[i]);
}

uint32_t Elapsed(uint64_t now, uint64_t start) {
  return static_cast<uint32_t>(std::min<uint64_t>(now - start, UINT32_MAX));
}

}  // namespace

void UpdateFrameTiming(VantVideo* video) {
  const uint64_t now = platform::NowMilliseconds();
  if (video->frameStartTime != 0) {
    const uint32_t elapsed = Elapsed(now, video->frameStartTime);
    video->frameStartTime = 0;
    const uint32_t number = video->currentFrame + 1;  // kept 1-based: 0 is no frame
    if (elapsed > video->slowestTime) {
      if (video->slowestFrame != number) {
        video->secondSlowestTime = video->slowestTime;
        video->secondSlowestFrame = video->slowestFrame;
        video->slowestFrame = number;
      }
      video->slowestTime = elapsed;
    } else if (elapsed > video->secondSlowestTime && video->slowestFrame != number) {
      video->secondSlowestTime = elapsed;
      video->secondSlowestFrame = number;
    }
  }
  if (video->blitStartTime != 0) {
    video->blitMs += Elapsed(now, video->blitStartTime);
    video->blitStartTime = 0;
  }
  if (video->decompressStartTime != 0) {
    video->decompressMs += Elapsed(now, video->decompressStartTime);
    video->decompressStartTime = 0;
  }
}

bool IsFrameLate(VantVideo* video) {
  if (video->pacingTrack < 0 || video->soundOff) return false;
  if (video->soundWait == 0) return true;
  PacingTrackFigures figures;
  if (!ReadPacingTrack(video, figures) || !figures.hadData) return false;
  if (!PacingTrackIsLate(figures)) return false;
  video->soundWait = 0;
  return true;
}

int32_t VantDoFrame(VantVideo* video) {
  if (video == nullptr || video->readFailed) return 0;
  const uint64_t now = platform::NowMilliseconds();
  if (video->framesPlayed == 0) video->playbackStartTime = now;
  video->decompressStartTime = video->frameStartTime = now;
  if (video->paletteChanged) video->lastPaletteFrame = static_cast<int32_t>(video->currentFrame);
  video->framesPlayed += 1;
  ProcessFrameSound(video);

  const bool late = video->framePeriod != 0 && IsFrameLate(video);
  if (video->destination != nullptr) {
    if (late && !(video->keptFlags & VANT_OPEN_NEVER_SKIP)) {
      video->framesSkipped += 1;
    } else {
      video->rectState = 1;
      RebuildColorTable(video);
      if (video->treeBlock != nullptr) {
        DecodeVideoFrame(video->videoChunk, VideoChunkSize(video), *video->treeBlock, *video->destination);
      }
    }
  }
  RunSoundService();
  return late ? 1 : 0;
}

int32_t VantNextFrame(VantVideo* video) {
  if (video == nullptr) return 0;
  if (video->readFailed) {
    video->currentFrame += 1;
    return 1;
  }
  RunSoundService();
  UpdateFrameTiming(video);
  StepToNextFrame(video);
  RunSoundService();
  return 1;
}

int32_t VantGoto(VantVideo* video, int32_t frame) {
  if (video == nullptr) return 0;
  if (video->readFailed) return 1;
  // Numbers past the last frame go to the last frame (never to the ring frame behind it).
  const uint32_t last = video->header.frames - 1;
  const uint32_t index = frame <= 1 ? 0 : std::min(static_cast<uint32_t>(frame - 1), last);
  if (index == video->currentFrame) return 1;
  video->currentFrame = index;
  SeekToFrame(video);
  LocateFrameChunks(video);
  return 1;
}
