// VantToBufferRect: the rectangles that the last decoded frame changed, merged by mode.
#include "playback/changed_rects.h"
#include "playback/library_state.h"
#include "platform/system/clock.h"
#include "playback/rect_merging.h"
#include "playback/vant.h"

namespace {

// Rectangle states between decoding and the last query.
enum RectState : uint32_t { kNoRects = 0, kDecoded = 1, kHolding = 2, kLastGiven = 3 };

RectBox BoxOf(const ChangedRect& r) {
  return {r.x, r.y, int64_t{r.x} + r.width, int64_t{r.y} + r.height};
}

RectBox BoxOf(const VantRect& r) {
  return {r.left, r.top, int64_t{r.left} + r.width, int64_t{r.top} + r.height};
}

VantRect RectOf(const RectBox& b) {
  return {static_cast<int32_t>(b.left), static_cast<int32_t>(b.top), static_cast<int32_t>(b.right - b.left),
          static_cast<int32_t>(b.bottom - b.top)};
}

bool IsHeightScaled(const VantVideo* video) {
  return (video->keptFlags & (VANT_OPEN_INTERLACED | VANT_OPEN_DOUBLED)) != 0;
}

// Blitting starts with the first query after a decode, which ends the decompressing time.
void StartBlitTime(VantVideo* video) {
  if (video->blitStartTime != 0) return;
  video->blitStartTime = platform::NowMilliseconds();
  if (video->decompressStartTime != 0) {
    video->decompressMs += static_cast<uint32_t>(video->blitStartTime - video->decompressStartTime);
    video->decompressStartTime = 0;
  }
}

}  // namespace

int32_t VantToBufferRect(VantVideo* video, int32_t mode) {
  if (video == nullptr) return 0;
  RunSoundService();
  if (video->rectState == kNoRects || mode == VANT_RECT_NONE) return 0;
  if (video->rectState == kLastGiven) {
    video->rectState = kNoRects;
    if (mode != VANT_RECT_BOUNDING_END) return 0;
    video->lastRect = VantRect{};
    return 1;
  }
  StartBlitTime(video);
  if (video->destination == nullptr) {  // released since the decode
    video->rectState = kNoRects;
    return 0;
  }

  DestinationDescriptor& destination = *video->destination;
  if (video->rectState == kDecoded) {
    ChangedRect first;
    if (!NextChangedRect(destination, first)) {
      video->rectState = kNoRects;
      if (!video->paletteChanged) return 0;
      video->lastRect = VantRect{};  // nothing drawn, but the colours changed: show it all
      return 1;
    }
    video->changedRect = RectOf(BoxOf(first));
    video->rectState = kHolding;
  }

  RectBox box = BoxOf(video->changedRect);
  RectBox held;
  const NextRect next = [&destination](RectBox& out) {
    ChangedRect r;
    if (!NextChangedRect(destination, r)) return false;
    out = BoxOf(r);
    return true;
  };
  const bool mergeAll = mode == VANT_RECT_BOUNDING || mode == VANT_RECT_BOUNDING_END;
  if (MergeChangedRects(mergeAll, box, held, next)) {
    video->changedRect = RectOf(held);
  } else {
    video->rectState = kLastGiven;
  }

  if (IsHeightScaled(video)) {
    box.top *= 2;
    box.bottom *= 2;
  }
  video->lastRect = {static_cast<int32_t>(box.left + video->destinationLeft),
                     static_cast<int32_t>(box.top + video->destinationTop),
                     static_cast<int32_t>(box.right - box.left), static_cast<int32_t>(box.bottom - box.top)};
  return 1;
}
