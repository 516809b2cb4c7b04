#include "script/animation_slots.h"

#include <cstring>

#include "platform/system/file_names.h"
#include "script/script_context.h"
#include "script/slot_numbers.h"
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

void ReleaseDecoder(AnimationSlot& slot) { VantToBuffer(slot.video, 0, 0, 0, 0, nullptr, 0); }

Palette VideoPalette(const VantVideo& video) {
  Palette palette;
  std::memcpy(palette.data(), video.palette, palette.size());
  return palette;
}

}  // namespace

AnimationSlots::~AnimationSlots() { CloseAll(); }

int AnimationSlots::Open(const std::string& name, int32_t options) {
  for (int index = 0; index < kAnimationSlotCount; ++index) {
    AnimationSlot& slot = slots_[index];
    if (slot.video != nullptr) continue;
    std::string file = NativeFileName(name);
    if (FindExtension(file) == std::string::npos) file = platform::NameForOpening(file, ".vnt");
    uint32_t flags = tracks;
    if (options & 2) flags |= VANT_OPEN_PRELOAD;
    if (options & 1) flags |= VANT_OPEN_NEVER_SKIP;
    VantVideo* video = VantOpen(file.c_str(), flags, VANT_EXTRA_BUFFER_AUTO);
    if (video == nullptr) return -1;
    slot = AnimationSlot{};
    slot.video = video;
    slot.baseName = BaseName(file);
    return index;
  }
  return -1;
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
    ReleaseDecoder(slot);
    slot.target = AnimationTarget::kNone;
  }
}

void AnimationSlots::ReleaseBitmapTarget(int bitmap) {
  for (AnimationSlot& slot : slots_) {
    if (slot.video == nullptr || slot.target != AnimationTarget::kBitmap || slot.bitmap != bitmap) continue;
    ReleaseDecoder(slot);
    slot.target = AnimationTarget::kReleasedBitmap;
  }
}

bool AnimationToWindow(ScriptContext& context, int index, int32_t x, int32_t y) {
  AnimationSlot* slot = context.animations.Get(index);
  if (slot == nullptr || !context.window.Exists()) return false;
  const VideoFileHeader& header = slot->video->header;
  slot->target = AnimationTarget::kWindow;
  slot->bitmap = -1;
  slot->area = ClipRect(x, y, header.width, header.height, context.window.Width(), context.window.Height());
  return context.window.DecodeInto(slot->video, x, y);
}

bool AnimationToBitmap(ScriptContext& context, int index, int bitmapSlot) {
  AnimationSlot* slot = context.animations.Get(index);
  Bitmap* bitmap = context.bitmaps.Get(bitmapSlot);
  if (slot == nullptr || bitmap == nullptr) return false;
  slot->target = AnimationTarget::kBitmap;
  slot->bitmap = bitmapSlot;
  slot->area = {};
  return VantToBuffer(slot->video, 0, 0, bitmap->width, bitmap->height, bitmap->pixels.get(), 0) != 0;
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
      HidePointerOver(context, slot->area);
      break;
  }
  if (slot->advancePending) {
    slot->advancePending = false;
    VantNextFrame(video);
  }
  if (bitmap != nullptr) {
    const bool newPalette = video->paletteChanged != 0;
    VantDoFrame(video);
    if (withPalette && newPalette) bitmap->palette = VideoPalette(*video);
  } else {
    if (withPalette && video->paletteChanged) {
      const Palette palette = VideoPalette(*video);
      if (palette != context.palette.Colors()) context.palette.TakeFrom(palette, context.window);
    }
    VantDoFrame(video);
    context.window.ShowChangedRects(video);
  }
  const bool ring = (video->header.flags & 1) != 0;
  if (!ring && video->currentFrame + 1 >= video->header.frames) {
    slot->advancePending = true;
  } else {
    VantNextFrame(video);
  }
}

}  // namespace script
