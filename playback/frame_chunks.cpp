#include <cstring>

#include "playback/video_file_format.h"
#include "playback/video_reading.h"

namespace {

// Walks the chunks that the frame's type byte announces. Returns false when a length is zero
// or runs past the frame; then the frame is treated as having no chunks at all.
bool FindChunks(VantVideo* video, uint8_t type, uint32_t& paletteLength, uint32_t& videoStart) {
  const uint8_t* frame = video->frameStart;
  const uint32_t size = video->currentFrameSize;
  uint32_t pos = 0;
  if (type & vntfile::kTypePalette) {
    if (size < 1) return false;
    paletteLength = uint32_t(frame[0]) * 4;
    if (paletteLength == 0 || paletteLength > size) return false;
    pos = paletteLength;
  }
  for (uint32_t t = 0; t < vntfile::kTrackCount; ++t) {
    if (!(type & vntfile::TypeAudio(t))) continue;
    if (size - pos < 4) return false;
    const uint32_t length = vntfile::LoadLE32(frame + pos);
    if (length < 4 || length % 4 != 0 || length > size - pos) return false;
    video->audioChunks[t] = video->frameStart + pos;
    pos += length;
  }
  videoStart = pos;
  return true;
}

}  // namespace

void LocateFrameChunks(VantVideo* video) {
  video->frameDue = 0;
  if (video->currentFrame >= video->header.frames) {
    const bool ring = video->header.flags & vntfile::kFlagRingFrame;
    if (!ring || video->currentFrame > video->header.frames) {
      // Playing on past the end starts again; after a ring frame it starts at frame 1, since
      // the ring frame stood in for frame 0.
      video->currentFrame = ring ? 1 : 0;
    }
    SeekToFrame(video);
  }

  video->currentFrameSize = video->frameSizes[video->currentFrame];
  video->frameStart = video->currentFrameData;
  std::memset(video->audioChunks, 0, sizeof(video->audioChunks));
  video->paletteChanged = 0;
  if (video->readFailed) {  // a frame that was not read has no chunks to look at
    video->videoChunk = video->frameStart;
    video->chunksBeforeVideo = 0;
    return;
  }
  const uint8_t type = video->frameTypes[video->currentFrame];
  uint32_t paletteLength = 0;
  uint32_t videoStart = 0;
  const bool chunksFit = FindChunks(video, type, paletteLength, videoStart);
  if (!chunksFit) {
    std::memset(video->audioChunks, 0, sizeof(video->audioChunks));
    videoStart = video->currentFrameSize;  // an empty video chunk: nothing to draw
  }
  video->videoChunk = video->frameStart + videoStart;
  video->chunksBeforeVideo = videoStart;

  video->paletteChanged = 0;
  if (chunksFit && (type & vntfile::kTypePalette)) {
    vntfile::DecodePaletteChunk(video->frameStart, paletteLength, video->palette);
    if (int64_t(video->lastPaletteFrame) != int64_t(video->currentFrame)) {
      video->paletteChanged = 1;
      video->colorTableDirty = 1;
    }
  }
}
