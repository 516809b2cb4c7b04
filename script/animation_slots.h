#pragma once
// The 32 animation slots: open videos that scripts name by 3000 + slot and step frame by frame
// into the window or into a bitmap.
#include <array>
#include <cstdint>
#include <string>

#include "script/pixels.h"
#include "playback/vant.h"

namespace script {

class ScriptContext;

inline constexpr int kAnimationSlotCount = 32;
inline constexpr int kAnimationNumberBase = 3000;
inline constexpr size_t kAnimationNameLimit = 8;

// Where a slot's frames are decoded to.
enum class AnimationTarget {
  kNone,            // nowhere yet, or the window it decoded into has gone
  kWindow,          // the window's display buffer, at `area`
  kBitmap,          // the bitmap slot `bitmap`
  kReleasedBitmap,  // the bitmap it decoded into was freed
};

struct AnimationSlot {
  VantVideo* video = nullptr;  // null: the slot is free
  std::string baseName;        // the file's name without directory and extension, cut to 8
  bool advancePending = false; // the last frame is shown; the step to the next is still owed
  AnimationTarget target = AnimationTarget::kNone;
  int bitmap = -1;
  PixelRect area;              // kWindow: where the picture lies in the window
};

class AnimationSlots {
 public:
  AnimationSlots() = default;
  AnimationSlots(const AnimationSlots&) = delete;
  AnimationSlots& operator=(const AnimationSlots&) = delete;
  ~AnimationSlots();

  // Opens the video into the first free slot: ".vnt" added to a name without extension,
  // options 1 never skip late frames, 2 preload, the sound tracks of `tracks`. -1 when no slot
  // is free or the video cannot be opened.
  int Open(const std::string& name, int32_t options);
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
  std::array<AnimationSlot, kAnimationSlotCount> slots_;
};

// Points the slot's decoder at the window, the picture's top-left corner at the window
// position (x, y). False when there is no window or the picture does not fit there.
bool AnimationToWindow(ScriptContext& context, int slot, int32_t x, int32_t y);
// Points the slot's decoder at the bitmap slot's pixels. False when the picture does not fit.
bool AnimationToBitmap(ScriptContext& context, int slot, int bitmap);
// Decodes and shows the slot's next frame where its decoder points, taking the frame's palette
// into the window (or the bitmap) when `withPalette`; then steps on, holding the last frame of
// a video without a ring frame once before it starts again. A slot whose window has gone (or
// never was) gives the no-window error, one whose bitmap was freed the bad-frame error.
void AdvanceAnimation(ScriptContext& context, int slot, bool withPalette);

}  // namespace script
