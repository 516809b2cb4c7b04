#pragma once
// The 32 animation slots: open videos that scripts name by 3000 + slot and step frame by frame
// into the window or into a bitmap.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system/clock.h"
#include "script/screen/frame_target.h"
#include "script/screen/pixels.h"
#include "playback/vant.h"

namespace script {

class BitmapSlots;
class ScriptContext;
class ScriptWindow;
struct Screen;

inline constexpr int kAnimationSlotCount = 32;
inline constexpr int kAnimationNumberBase = 3000;
inline constexpr size_t kAnimationNameLimit = 8;

// Where a slot's frames are decoded to.
enum class AnimationTarget {
  kNone,            // nowhere yet, or the window it decoded into has gone
  kWindow,          // the window, at the position `frames` keeps
  kBitmap,          // the bitmap slot `bitmap`
  kReleasedBitmap,  // the bitmap it decoded into was freed
};

struct AnimationSlot {
  VantVideo* video = nullptr;  // null: the slot is free
  std::string baseName;        // the file's name without directory and extension, cut to 8
  bool advancePending = false; // the last frame is shown; the step to the next is still owed
  AnimationTarget target = AnimationTarget::kNone;
  int bitmap = -1;
  FrameTarget frames;          // where the decoder draws now
};

// A video that closes when it goes.
struct VideoCloser {
  void operator()(VantVideo* video) const { VantClose(video); }
};
using OwnedVideo = std::unique_ptr<VantVideo, VideoCloser>;

class AnimationSlots {
 public:
  // The videos measure and wait for their time on the clock, which must outlive them.
  explicit AnimationSlots(platform::Clock& clock) : clock_(clock) {}
  AnimationSlots(const AnimationSlots&) = delete;
  AnimationSlots& operator=(const AnimationSlots&) = delete;
  ~AnimationSlots();

  // Opens the video into the first free slot: ".vnt" added to a name without extension,
  // options 1 never skip late frames, 2 preload, the sound tracks of `tracks`. -1 when no slot
  // is free or the video cannot be opened.
  int Open(const std::string& name, int32_t options);
  // The video opened that way, in no slot; null when it cannot be opened.
  OwnedVideo OpenVideo(const std::string& name, int32_t options) const;
  void Close(int slot);
  void CloseAll();
  // The open slot, null for a free or invalid one.
  AnimationSlot* Get(int slot);

  // The decoders that point into the window (it closes or gets a new buffer), or into the
  // bitmap slot (it is freed), let go of it.
  void ReleaseWindowTargets();
  void ReleaseBitmapTarget(int bitmap);

  // The open-sound-track bits for later opens (ANIMATIONTRACKS): all seven at first.
  uint32_t tracks = VANT_OPEN_ALL_TRACKS;

 private:
  platform::Clock& clock_;
  std::array<AnimationSlot, kAnimationSlotCount> slots_;
};

// A video's file name as it is opened: '\\' read as '/', ".vnt" tried when it has no extension.
std::string VideoFileName(const std::string& name);
// The video's palette as it is now.
Palette VideoPalette(const VantVideo& video);

// Points the slot's decoder at the window, the picture's top-left corner at the window
// position (x, y), which may lie partly or wholly outside it. False when there is no window
// or no memory.
bool AnimationToWindow(AnimationSlots& animations, ScriptWindow& window, int slot, int32_t x, int32_t y);
// Points the slot's decoder at the bitmap slot's top-left corner, the bitmap of any size.
// False when there is no memory.
bool AnimationToBitmap(AnimationSlots& animations, BitmapSlots& bitmaps, int slot, int bitmap);
// Points the slot's decoder where the slot's own target is again, after it was used elsewhere.
void RestoreAnimationTarget(AnimationSlots& animations, ScriptWindow& window, BitmapSlots& bitmaps, int slot);
// The step after a frame was shown: to the next frame, or after the last frame of a video
// without a ring frame the step is owed (the pending-advance flag), so that it stays shown.
void StepAfterShownFrame(AnimationSlot& slot);
// Decodes and shows the slot's next frame where its decoder points, taking the frame's palette
// into the window (or the bitmap) when `withPalette`; then steps on, holding the last frame of
// a video without a ring frame once before it starts again. A slot whose window has gone (or
// never was) gives the no-window error, one whose bitmap was freed the bad-frame error.
void AdvanceAnimation(ScriptContext& context, Screen& screen, int slot, bool withPalette);

}  // namespace script
