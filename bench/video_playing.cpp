#include "bench/video_playing.h"

#include "playback/vant.h"
#include "playback/video_file_format.h"

namespace speedbench {

PlayFigures PlayVideo(const std::string& path, VideoOutput output, std::vector<uint8_t>& buffer,
                      const FrameLoopMark& mark) {
  PlayFigures figures;
  const uint32_t openFlags = output == VideoOutput::kRowsDoubled ? VANT_OPEN_DOUBLED : 0;
  VantVideo* video = VantOpen(path.c_str(), openFlags, VANT_EXTRA_BUFFER_AUTO);
  if (video == nullptr) return figures;
  figures.width = video->header.width;
  figures.rows = video->header.height;  // already doubled for doubled rows
  const uint32_t bytesPerPixel = output == VideoOutput::kRgb565 ? 2 : 1;
  const uint64_t pitch = uint64_t{figures.width} * bytesPerPixel;
  if (pitch > INT32_MAX || figures.rows > INT32_MAX) {
    VantClose(video);
    return figures;
  }
  if (buffer.size() < pitch * figures.rows) buffer.resize(pitch * figures.rows);
  const uint32_t bufferFlags = output == VideoOutput::kRgb565 ? VANT_BUFFER_RGB565 : 0;
  if (!VantToBuffer(video, 0, 0, static_cast<int32_t>(pitch), static_cast<int32_t>(figures.rows), buffer.data(),
                    bufferFlags)) {
    VantClose(video);
    return figures;
  }
  figures.streamed = video->fileHandle >= 0;
  figures.frameBufferBytes = video->frameBufferSize;
  figures.ringBytes = video->extraBuffer ? video->extraBufferSize : 0;
  const uint32_t frames = video->header.frames;
  int decoded = 0;
  if (mark) mark(true);
  for (uint32_t f = 0; f < frames && !video->readFailed; ++f) {
    VantDoFrame(video);
    ++decoded;
    if (f + 1 < frames) VantNextFrame(video);
  }
  if (mark) mark(false);
  VantSummaryInfo summary{};
  VantSummary(video, &summary);
  figures.handlePeakMemory = summary.peakMemory;
  figures.frames = video->readFailed ? -1 : decoded;
  VantClose(video);
  return figures;
}

bool CountVideoCodes(const std::string& path, CodeLookupCounts& counts) {
  VantVideo* video = VantOpen(path.c_str(), 0, VANT_EXTRA_BUFFER_AUTO);
  if (video == nullptr) return false;
  // Doubled and interlaced videos code half the rows they show.
  const bool halved = video->header.flags & vntfile::kHeightScalingMask;
  const uint64_t blocks = uint64_t{video->header.width / 4} * ((halved ? video->header.height / 2 : video->header.height) / 4);
  bool ok = video->treeBlock != nullptr;
  for (uint32_t f = 0; ok && f < video->header.frames && !video->readFailed; ++f) {
    CountCodeLookups(video->videoChunk, video->currentFrameSize - video->chunksBeforeVideo, blocks, *video->treeBlock,
                     counts);
    if (f + 1 < video->header.frames) VantNextFrame(video);
  }
  ok = ok && !video->readFailed;
  VantClose(video);
  return ok;
}

}  // namespace speedbench
