// Animations: open videos into slots, step them into the window or a bitmap, play them whole,
// move them to a frame, wait for their next frame, and report their sizes.
#include <memory>

#include "platform/system/clock.h"
#include "script/screen/animation_player.h"
#include "script/commands/command_handlers.h"
#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

constexpr uint32_t kTrackMask = 127;
constexpr int kTrackShift = 13;

AnimationSlot& TakeAnimation(ScriptContext& context) {
  return *context.animations.Get(TakeAnimationSlot(context));
}

// LOADTOBITMAP's variables when nothing can be loaded: each is 0.
void ZeroEveryVariable(ScriptContext& context) {
  while (!ParamsAtEnd(context)) SetVariableNumber(context, TakeVariable(context), 0);
}

}  // namespace

void CommandAnimationOpen(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t options = TakeNumber(context) & 0xFF;
  const int slot = context.animations.Open(TakeText(context), options);
  SetVariableNumber(context, variable, slot >= 0 ? kAnimationNumberBase + slot : 0);
}

void CommandAnimationClose(ScriptContext& context) { context.animations.Close(TakeAnimationSlot(context)); }

void CommandAnimationTracks(ScriptContext& context) {
  context.animations.tracks = (static_cast<uint32_t>(TakeNumber(context)) & kTrackMask) << kTrackShift;
}

void CommandAnimationToScreen(ScriptContext& context) {
  RequireWindow(context);
  const int slot = TakeAnimationSlot(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const VideoFileHeader& header = context.animations.Get(slot)->video->header;
  const auto [left, top] = PlaceInWindow(context, x, y, header.width, header.height);
  AnimationToWindow(context, slot, left, top);
}

void CommandAnimationToBitmap(ScriptContext& context) {
  const int slot = TakeAnimationSlot(context);
  AnimationToBitmap(context, slot, TakeBitmapSlot(context));
}

void CommandAnimationAdvance(ScriptContext& context) {
  AdvanceAnimation(context, TakeAnimationSlot(context), true);
}

void CommandAnimationAdvanceNoPalette(ScriptContext& context) {
  AdvanceAnimation(context, TakeAnimationSlot(context), false);
}

// A step still owed from the last frame would skip the frame gone to.
void CommandAnimationGoto(ScriptContext& context) {
  AnimationSlot& animation = TakeAnimation(context);
  const int32_t frame = TakeNumber(context);
  VantSoundOnOff(animation.video, 0);
  VantGoto(animation.video, frame);
  VantSoundOnOff(animation.video, 1);
  animation.advancePending = false;
}

void CommandAnimationBackToStart(ScriptContext& context) {
  AnimationSlot& animation = TakeAnimation(context);
  VantGoto(animation.video, 1);
  animation.advancePending = false;
}

void CommandAnimationDelay(ScriptContext& context) {
  VantVideo* video = TakeAnimation(context).video;
  while (VantWait(video) != 0) {
    context.window.DispatchEvents();
    platform::SleepMilliseconds(1);
  }
}

void CommandAnimationStillDelay(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, VantWait(TakeAnimation(context).video));
}

void CommandAnimationFrames(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.frames);
}

void CommandAnimationWidth(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.width);
}

void CommandAnimationHeight(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.height);
}

void CommandAnimationList(ScriptContext& context) { ListAnimations(context); }

void CommandAnimationPlay(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const int32_t count = TakeNumber(context);
  const uint32_t options = static_cast<uint32_t>(TakeNumber(context));
  const std::string video = TakeNonEmptyText(context);
  SetVariableNumber(context, variable, PlayAnimation(context, video, x, y, count, options) ? 1 : 0);
}

// Frame after frame into new bitmaps, one a variable; the last variable gets the bitmap that
// every frame is decoded into, so it is allocated first.
void CommandAnimationLoadToBitmap(ScriptContext& context) {
  const std::string name = TakeText(context);
  const OwnedVideo video(VantOpen(VideoFileName(name).c_str(), 0, 0));
  if (video == nullptr) return ZeroEveryVariable(context);
  const int64_t width = video->header.width, height = video->header.height;
  const int first = context.bitmaps.Alloc(width, height);
  FrameTarget target;
  if (first < 0 || !target.ToBitmap(video.get(), *context.bitmaps.Get(first))) {
    context.bitmaps.Free(first);
    return ZeroEveryVariable(context);
  }
  if (ParamsAtEnd(context)) context.bitmaps.Free(first);  // no variable would hold it
  while (!ParamsAtEnd(context)) {
    const std::string variable = TakeVariable(context);
    const bool last = ParamsAtEnd(context);
    const int receiving = last ? first : context.bitmaps.Alloc(width, height);
    const bool newPalette = video->paletteChanged != 0;
    VantDoFrame(video.get());
    if (Bitmap* into = context.bitmaps.Get(receiving)) {
      if (!last) CopyBitmap(*context.bitmaps.Get(first), *into, 0, 0);
      if (newPalette) into->palette = VideoPalette(*video);
    }
    if (!last) VantNextFrame(video.get());
    SetVariableNumber(context, variable, receiving >= 0 ? kBitmapNumberBase + receiving : 0);
  }
}

}  // namespace script
