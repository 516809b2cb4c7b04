#pragma once
// Where a video's frames land: the window at a position, or a bitmap. A picture that lies wholly
// inside is decoded in place; one that overhangs (or sits at a negative position) is decoded
// into a picture of the video's own size, and only the changed rectangles are copied over,
// clipped. So the decoder never writes outside what it was given.
#include <cstdint>
#include <memory>

#include "script/screen/bitmaps.h"
#include "playback/vant.h"

namespace script {

class ScriptWindow;

class FrameTarget {
 public:
  enum class Kind { kNone, kWindow, kBitmap };

  // Points the video at the window with the picture's top-left corner at (x, y). False, and
  // the video decodes nowhere, without a window or when the own picture cannot be had.
  bool ToWindow(ScriptWindow& window, VantVideo* video, int32_t x, int32_t y);
  // Points the video at the bitmap's top-left corner. False when the own picture cannot be had.
  bool ToBitmap(VantVideo* video, Bitmap& bitmap);
  // The video decodes nowhere.
  void Release(VantVideo* video);

  // After VantDoFrame: copies what changed from the own picture, and shows in the window what
  // changed there.
  void ShowFrame(ScriptWindow& window, VantVideo* video);

  Kind kind() const { return kind_; }
  int32_t x() const { return x_; }
  int32_t y() const { return y_; }

 private:
  bool PointAt(VantVideo* video, const PixelCanvas& canvas, int32_t x, int32_t y, bool inPlace);

  Kind kind_ = Kind::kNone;
  int32_t x_ = 0, y_ = 0;
  Bitmap* bitmap_ = nullptr;
  bool viaOwn_ = false;
  std::unique_ptr<Bitmap> own_;  // the video's own picture, made when first needed
};

}  // namespace script
