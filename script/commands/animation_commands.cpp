// Animations: open videos into slots, step them into the window or a bitmap, play them whole,
// move them to a frame, wait for their next frame, and report their sizes.
#include <memory>

#include "script/screen/animation_player.h"
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/script_wait.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

constexpr uint32_t kTrackMask = 127;
constexpr int kTrackShift = 13;

AnimationSlot& TakeAnimation(CommandContext& context) {
  return *context.screen.animations.Get(TakeAnimationSlot(context));
}

// LOADTOBITMAP's variables when nothing can be loaded: each is 0.
void ZeroEveryVariable(CommandContext& context) {
  while (!ParamsAtEnd(context)) SetVariableNumber(context, TakeVariable(context), 0);
}

void CommandAnimationOpen(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t options = TakeNumber(context) & 0xFF;
  const int slot = context.screen.animations.Open(TakeText(context), options);
  SetVariableNumber(context, variable, slot >= 0 ? kAnimationNumberBase + slot : 0);
}

void CommandAnimationClose(CommandContext& context) { context.screen.animations.Close(TakeAnimationSlot(context)); }

void CommandAnimationTracks(CommandContext& context) {
  context.screen.animations.tracks = (static_cast<uint32_t>(TakeNumber(context)) & kTrackMask) << kTrackShift;
}

void CommandAnimationToScreen(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const int slot = TakeAnimationSlot(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const VideoFileHeader& header = screen.animations.Get(slot)->video->header;
  const auto [left, top] = PlaceInWindow(screen.window, screen.settings, x, y, header.width, header.height);
  AnimationToWindow(screen.animations, screen.window, slot, left, top);
}

void CommandAnimationToBitmap(CommandContext& context) {
  Screen& screen = context.screen;
  const int slot = TakeAnimationSlot(context);
  AnimationToBitmap(screen.animations, screen.bitmaps, slot, TakeBitmapSlot(context));
}

void CommandAnimationAdvance(CommandContext& context) {
  AdvanceAnimation(context, context.screen, TakeAnimationSlot(context), true);
}

void CommandAnimationAdvanceNoPalette(CommandContext& context) {
  AdvanceAnimation(context, context.screen, TakeAnimationSlot(context), false);
}

// A step still owed from the last frame would skip the frame gone to.
void CommandAnimationGoto(CommandContext& context) {
  AnimationSlot& animation = TakeAnimation(context);
  const int32_t frame = TakeNumber(context);
  VantSoundOnOff(animation.video, 0);
  VantGoto(animation.video, frame);
  VantSoundOnOff(animation.video, 1);
  animation.advancePending = false;
}

void CommandAnimationBackToStart(CommandContext& context) {
  AnimationSlot& animation = TakeAnimation(context);
  VantGoto(animation.video, 1);
  animation.advancePending = false;
}

void CommandAnimationDelay(CommandContext& context) {
  VantVideo* video = TakeAnimation(context).video;
  WaitFor(context, [video] { return VantWait(video) == 0; });
}

void CommandAnimationStillDelay(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, VantWait(TakeAnimation(context).video));
}

void CommandAnimationFrames(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.frames);
}

void CommandAnimationWidth(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.width);
}

void CommandAnimationHeight(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, TakeAnimation(context).video->header.height);
}

void CommandAnimationList(CommandContext& context) { ListAnimations(context); }

void CommandAnimationPlay(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const int32_t count = TakeNumber(context);
  const uint32_t options = static_cast<uint32_t>(TakeNumber(context));
  const std::string video = TakeNonEmptyText(context);
  SetVariableNumber(context, variable, PlayAnimation(context, context.screen, video, x, y, count, options) ? 1 : 0);
}

// Frame after frame into new bitmaps, one a variable; the last variable gets the bitmap that
// every frame is decoded into, so it is allocated first.
void CommandAnimationLoadToBitmap(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string name = TakeText(context);
  const OwnedVideo video(VantOpen(VideoFileName(name).c_str(), 0, 0));
  if (video == nullptr) return ZeroEveryVariable(context);
  const int64_t width = video->header.width, height = video->header.height;
  const int first = screen.bitmaps.Alloc(width, height);
  FrameTarget target;
  if (first < 0 || !target.ToBitmap(video.get(), *screen.bitmaps.Get(first))) {
    screen.bitmaps.Free(first);
    return ZeroEveryVariable(context);
  }
  if (ParamsAtEnd(context)) screen.bitmaps.Free(first);  // no variable would hold it
  while (!ParamsAtEnd(context)) {
    const std::string variable = TakeVariable(context);
    const bool last = ParamsAtEnd(context);
    const int receiving = last ? first : screen.bitmaps.Alloc(width, height);
    const bool newPalette = video->paletteChanged != 0;
    VantDoFrame(video.get());
    if (Bitmap* into = screen.bitmaps.Get(receiving)) {
      if (!last) CopyBitmap(*screen.bitmaps.Get(first), *into, 0, 0);
      if (newPalette) into->palette = VideoPalette(*video);
    }
    if (!last) VantNextFrame(video.get());
    SetVariableNumber(context, variable, receiving >= 0 ? kBitmapNumberBase + receiving : 0);
  }
}

constexpr CommandEntry kEntries[] = {
    {"ANIMATIONADVANCE", CommandAnimationAdvance},
    {"ANIMATIONADVANCENOPALETTE", CommandAnimationAdvanceNoPalette},
    {"ANIMATIONBACKTOSTART", CommandAnimationBackToStart},
    {"ANIMATIONCLOSE", CommandAnimationClose},
    {"ANIMATIONDELAY", CommandAnimationDelay},
    {"ANIMATIONFRAMES", CommandAnimationFrames},
    {"ANIMATIONGOTO", CommandAnimationGoto},
    {"ANIMATIONHEIGHT", CommandAnimationHeight},
    {"ANIMATIONLIST", CommandAnimationList},
    {"ANIMATIONLOADTOBITMAP", CommandAnimationLoadToBitmap},
    {"ANIMATIONOPEN", CommandAnimationOpen},
    {"ANIMATIONPLAY", CommandAnimationPlay},
    {"ANIMATIONSTILLDELAY", CommandAnimationStillDelay},
    {"ANIMATIONTOBITMAP", CommandAnimationToBitmap},
    {"ANIMATIONTOSCREEN", CommandAnimationToScreen},
    {"ANIMATIONTRACKS", CommandAnimationTracks},
    {"ANIMATIONWIDTH", CommandAnimationWidth},
};

}  // namespace

std::span<const CommandEntry> AnimationCommands() { return kEntries; }

}  // namespace script
