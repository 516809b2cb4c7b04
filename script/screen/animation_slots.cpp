#include "script/screen/animation_slots.h"

#include <cstring>
#include <optional>

#include "platform/system/file_names.h"
#include "script/language/script_context.h"
#include "script/commands/slot_numbers.h"
#include "toolsupport/base/paths.h"

namespace script {

namespace {

std::string BaseName(const std::string& name) {
  const size_t slash = name.rfind('/');
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  const size_t dot = FindExtension(base);
  if (dot != std::string::npos) base.erase(dot);
  if (base.size() > kAnimationNameLimit) base.resize(kAnimationNameLimit);
  return base;
}

// Where the slot's picture lies in the window.
PixelRect WindowArea(const ScriptContext& context, const AnimationSlot& slot) {
  const VideoFileHeader& header = slot.video->header;
  return ClipRect(slot.frames.x(), slot.frames.y(), header.width, header.height, context.window.Width(),
                  context.window.Height());
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
  return OwnedVideo(VantOpen(VideoFileName(name).c_str(), flags, VANT_EXTRA_BUFFER_AUTO));
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

bool AnimationToWindow(ScriptContext& context, int index, int32_t x, int32_t y) {
  AnimationSlot* slot = context.animations.Get(index);
  if (slot == nullptr || !context.window.Exists()) return false;
  slot->target = AnimationTarget::kWindow;
  slot->bitmap = -1;
  return slot->frames.ToWindow(context, slot->video, x, y);
}

bool AnimationToBitmap(ScriptContext& context, int index, int bitmapSlot) {
  AnimationSlot* slot = context.animations.Get(index);
  Bitmap* bitmap = context.bitmaps.Get(bitmapSlot);
  if (slot == nullptr || bitmap == nullptr) return false;
  slot->target = AnimationTarget::kBitmap;
  slot->bitmap = bitmapSlot;
  return slot->frames.ToBitmap(slot->video, *bitmap);
}

void RestoreAnimationTarget(ScriptContext& context, int index) {
  AnimationSlot* slot = context.animations.Get(index);
  if (slot == nullptr) return;
  switch (slot->target) {
    case AnimationTarget::kWindow:
      if (context.window.Exists()) {
        slot->frames.ToWindow(context, slot->video, slot->frames.x(), slot->frames.y());
        return;
      }
      slot->target = AnimationTarget::kNone;
      break;
    case AnimationTarget::kBitmap:
      if (Bitmap* bitmap = context.bitmaps.Get(slot->bitmap)) {
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

void AdvanceAnimation(ScriptContext& context, int index, bool withPalette) {
  AnimationSlot* slot = context.animations.Get(index);
  if (slot == nullptr) ErrorBadAnimation(context);
  VantVideo* video = slot->video;
  Bitmap* bitmap = nullptr;
  switch (slot->target) {
    case AnimationTarget::kReleasedBitmap:
      ErrorBadFrame(context);
    case AnimationTarget::kBitmap:
      bitmap = context.bitmaps.Get(slot->bitmap);
      if (bitmap == nullptr) ErrorBadFrame(context);
      break;
    case AnimationTarget::kNone:
    case AnimationTarget::kWindow:
      RequireWindow(context);
      HidePointerOver(context, WindowArea(context, *slot));
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
      if (palette != context.palette.Colors()) context.palette.TakeFrom(palette, context.window);
    }
    VantDoFrame(video);
  }
  slot->frames.ShowFrame(context, video);
  StepAfterShownFrame(*slot);
}

}  // namespace script
