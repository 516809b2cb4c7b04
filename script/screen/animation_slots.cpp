#include "script/screen/animation_slots.h"

#include <cstring>
#include <optional>

#include "platform/system/file_names.h"
#include "platform/system/wildcard.h"
#include "playback/open_video.h"
#include "script/language/script_error.h"
#include "script/language/file_slots.h"
#include "script/screen/screen.h"
#include "toolsupport/base/paths.h"

namespace script {

namespace {

std::string BaseName(const std::string& name) {
  std::string base = platform::SplitName(name).base;
  if (base.size() > kAnimationNameLimit) base.resize(kAnimationNameLimit);
  return base;
}

// Where the slot's picture lies in the window.
PixelRect WindowArea(const ScriptWindow& window, const AnimationSlot& slot) {
  const VideoFileHeader& header = slot.video->header;
  return ClipRect(slot.frames.x(), slot.frames.y(), header.width, header.height, window.Width(), window.Height());
}

}  // namespace

std::string VideoFileName(const std::string& name) {
  std::string file = NativeFileName(name);
  if (FindExtension(file) == std::string::npos) file = platform::NameForOpening(file, ".vnt");
  return file;
}

Palette VideoPalette(const VantVideo& video) {
  Palette palette;
  std::memcpy(palette.data(), video.palette, palette.size());
  return palette;
}

AnimationSlots::~AnimationSlots() { CloseAll(); }

int AnimationSlots::Open(const std::string& name, int32_t options) {
  for (int index = 0; index < kAnimationSlotCount; ++index) {
    AnimationSlot& slot = slots_[index];
    if (slot.video != nullptr) continue;
    OwnedVideo video = OpenVideo(name, options);
    if (video == nullptr) return -1;
    slot = AnimationSlot{};
    slot.video = video.release();
    slot.baseName = BaseName(VideoFileName(name));
    return index;
  }
  return -1;
}

OwnedVideo AnimationSlots::OpenVideo(const std::string& name, int32_t options) const {
  uint32_t flags = tracks;
  if (options & 2) flags |= VANT_OPEN_PRELOAD;
  if (options & 1) flags |= VANT_OPEN_NEVER_SKIP;
  return OwnedVideo(::OpenVideo(VideoFileName(name).c_str(), flags, VANT_EXTRA_BUFFER_AUTO, clock_));
}

void AnimationSlots::Close(int slot) {
  if (slot < 0 || slot >= kAnimationSlotCount || slots_[slot].video == nullptr) return;
  VantClose(slots_[slot].video);
  slots_[slot] = AnimationSlot{};
}

void AnimationSlots::CloseAll() {
  for (int slot = 0; slot < kAnimationSlotCount; ++slot) Close(slot);
}

AnimationSlot* AnimationSlots::Get(int slot) {
  if (slot < 0 || slot >= kAnimationSlotCount || slots_[slot].video == nullptr) return nullptr;
  return &slots_[slot];
}

void AnimationSlots::ReleaseWindowTargets() {
  for (AnimationSlot& slot : slots_) {
    if (slot.video == nullptr || slot.target != AnimationTarget::kWindow) continue;
    slot.frames.Release(slot.video);
    slot.target = AnimationTarget::kNone;
  }
}

void AnimationSlots::ReleaseBitmapTarget(int bitmap) {
  for (AnimationSlot& slot : slots_) {
    if (slot.video == nullptr || slot.target != AnimationTarget::kBitmap || slot.bitmap != bitmap) continue;
    slot.frames.Release(slot.video);
    slot.target = AnimationTarget::kReleasedBitmap;
  }
}

bool AnimationToWindow(AnimationSlots& animations, ScriptWindow& window, int index, int32_t x, int32_t y) {
  AnimationSlot* slot = animations.Get(index);
  if (slot == nullptr || !window.Exists()) return false;
  slot->target = AnimationTarget::kWindow;
  slot->bitmap = -1;
  return slot->frames.ToWindow(window, slot->video, x, y);
}

bool AnimationToBitmap(AnimationSlots& animations, BitmapSlots& bitmaps, int index, int bitmapSlot) {
  AnimationSlot* slot = animations.Get(index);
  Bitmap* bitmap = bitmaps.Get(bitmapSlot);
  if (slot == nullptr || bitmap == nullptr) return false;
  slot->target = AnimationTarget::kBitmap;
  slot->bitmap = bitmapSlot;
  return slot->frames.ToBitmap(slot->video, *bitmap);
}

void RestoreAnimationTarget(AnimationSlots& animations, ScriptWindow& window, BitmapSlots& bitmaps, int index) {
  AnimationSlot* slot = animations.Get(index);
  if (slot == nullptr) return;
  switch (slot->target) {
    case AnimationTarget::kWindow:
      if (window.Exists()) {
        slot->frames.ToWindow(window, slot->video, slot->frames.x(), slot->frames.y());
        return;
      }
      slot->target = AnimationTarget::kNone;
      break;
    case AnimationTarget::kBitmap:
      if (Bitmap* bitmap = bitmaps.Get(slot->bitmap)) {
        slot->frames.ToBitmap(slot->video, *bitmap);
        return;
      }
      slot->target = AnimationTarget::kReleasedBitmap;
      break;
    case AnimationTarget::kNone:
    case AnimationTarget::kReleasedBitmap:
      break;
  }
  slot->frames.Release(slot->video);
}

void StepAfterShownFrame(AnimationSlot& slot) {
  const VantVideo& video = *slot.video;
  const bool ring = (video.header.flags & 1) != 0;
  if (!ring && uint64_t{video.currentFrame} + 1 >= video.header.frames) {
    slot.advancePending = true;
  } else {
    VantNextFrame(slot.video);
  }
}

void AdvanceAnimation(ScriptContext& context, Screen& screen, int index, bool withPalette) {
  AnimationSlot* slot = screen.animations.Get(index);
  if (slot == nullptr) ErrorBadAnimation(context);
  VantVideo* video = slot->video;
  Bitmap* bitmap = nullptr;
  switch (slot->target) {
    case AnimationTarget::kReleasedBitmap:
      ErrorBadFrame(context);
    case AnimationTarget::kBitmap:
      bitmap = screen.bitmaps.Get(slot->bitmap);
      if (bitmap == nullptr) ErrorBadFrame(context);
      break;
    case AnimationTarget::kNone:
    case AnimationTarget::kWindow:
      RequireWindow(context, screen.window);
      screen.pointer.HideOver(WindowArea(screen.window, *slot));
      break;
  }
  if (slot->advancePending) {
    slot->advancePending = false;
    VantNextFrame(video);
  }
  if (bitmap != nullptr) {
    const bool newPalette = video->paletteChanged != 0;
    VantDoFrame(video);
    // A bitmap holds a palette only after a frame that brought one, so that BITMAPSETPALETTE
    // applies only a new one.
    if (withPalette) bitmap->palette = newPalette ? std::optional<Palette>(VideoPalette(*video)) : std::nullopt;
  } else {
    if (withPalette && video->paletteChanged) {
      const Palette palette = VideoPalette(*video);
      if (palette != screen.palette.Colors()) screen.palette.TakeFrom(palette, screen.window);
    }
    VantDoFrame(video);
  }
  slot->frames.ShowFrame(screen.window, video);
  StepAfterShownFrame(*slot);
}

}  // namespace script
