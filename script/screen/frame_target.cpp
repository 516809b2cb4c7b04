#include "script/screen/frame_target.h"

#include "script/screen/script_window.h"

namespace script {

namespace {

bool LiesInside(const VantVideo& video, const PixelCanvas& canvas, int32_t x, int32_t y) {
  return canvas.pixels != nullptr && x >= 0 && y >= 0 &&
         int64_t{x} + video.header.width <= canvas.width && int64_t{y} + video.header.height <= canvas.height;
}

// The rectangles of a display buffer that blits none: merged ones, as they are only copied.
int32_t CopyRectMode(int32_t mode) { return mode == VANT_RECT_NONE ? VANT_RECT_MERGE : mode; }

}  // namespace

bool FrameTarget::ToWindow(ScriptWindow& window, VantVideo* video, int32_t x, int32_t y) {
  Release(video);
  if (!window.Exists()) return false;
  kind_ = Kind::kWindow;
  x_ = x;
  y_ = y;
  if (LiesInside(*video, window.Canvas(), x, y)) return window.DecodeInto(video, x, y);
  return PointAt(video, {}, x, y, false);
}

bool FrameTarget::ToBitmap(VantVideo* video, Bitmap& bitmap) {
  Release(video);
  kind_ = Kind::kBitmap;
  bitmap_ = &bitmap;
  return PointAt(video, bitmap.Canvas(), 0, 0, LiesInside(*video, bitmap.Canvas(), 0, 0));
}

bool FrameTarget::PointAt(VantVideo* video, const PixelCanvas& canvas, int32_t x, int32_t y, bool inPlace) {
  if (inPlace) {
    return VantToBuffer(video, x, y, static_cast<int32_t>(canvas.pitch), canvas.height, canvas.pixels,
                        canvas.bottomUp ? VANT_BUFFER_BOTTOM_UP : 0) != 0;
  }
  if (own_ == nullptr) {
    own_ = MakeBitmap(video->header.width, video->header.height);
    if (own_ == nullptr || own_->pixels == nullptr) {
      own_.reset();
      return false;
    }
    ClearCanvas(own_->Canvas(), 0);
  }
  viaOwn_ = true;
  return VantToBuffer(video, 0, 0, own_->width, own_->height, own_->pixels.get(), 0) != 0;
}

void FrameTarget::Release(VantVideo* video) {
  VantToBuffer(video, 0, 0, 0, 0, nullptr, 0);
  kind_ = Kind::kNone;
  bitmap_ = nullptr;
  viaOwn_ = false;
}

void FrameTarget::ShowFrame(ScriptWindow& window, VantVideo* video) {
  if (kind_ == Kind::kNone) return;
  const bool toWindow = kind_ == Kind::kWindow;
  if (!viaOwn_) {
    if (toWindow) window.ShowChangedRects(video);
    return;
  }
  const PixelCanvas destination = toWindow ? window.Canvas() : bitmap_->Canvas();
  const int32_t mode = toWindow ? CopyRectMode(window.RectMode()) : VANT_RECT_MERGE;
  while (VantToBufferRect(video, mode) != 0) {
    VantRect r = video->lastRect;
    // A frame that only brought colours changes the whole picture.
    if (r.width == 0 && r.height == 0) r = {0, 0, own_->width, own_->height};
    const PixelRect written = CopyPixels(own_->Canvas(), r.left, r.top, destination, int64_t{x_} + r.left,
                                         int64_t{y_} + r.top, r.width, r.height);
    if (toWindow) window.Show(written);
  }
}

}  // namespace script
