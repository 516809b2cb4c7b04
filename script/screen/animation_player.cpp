#include "script/screen/animation_player.h"

#include <memory>
#include <optional>
#include <utility>

#include "platform/system/clock.h"
#include "script/language/params.h"
#include "script/screen/screen_drawing.h"
#include "script/language/script_context.h"
#include "script/screen/script_wait.h"

namespace script {

namespace {

constexpr uint32_t kOptionBits = 0xFFFF;
// What only a window can do.
constexpr uint32_t kWindowOptions = kPlayOffScreen | kPlaySaveArea | kPlayFadeIn | kPlayFadeOut | kPlayOverlay;
constexpr int kEscape = 27;

PlaybackHook& Hook() {
  static PlaybackHook hook;
  return hook;
}

// The open slot that the text names by its number, or -1: any other text is a file name.
int SlotNamed(ScriptContext& context, const std::string& text) {
  if (!IsNumericText(text)) return -1;
  const int64_t slot = int64_t{TextToNumber(text)} - kAnimationNumberBase;
  if (slot < 0 || slot >= kAnimationSlotCount) return -1;
  return context.animations.Get(static_cast<int>(slot)) != nullptr ? static_cast<int>(slot) : -1;
}

// The bitmaps the options ask for, each of the video's size.
struct WorkBitmaps {
  std::unique_ptr<Bitmap> background;  // the window under the video, and its palette
  std::unique_ptr<Bitmap> overlay;     // the background with the frame laid over it
  std::unique_ptr<Bitmap> frame;       // the decoded frame
};

bool MakeWorkBitmap(std::unique_ptr<Bitmap>& bitmap, const VideoFileHeader& header) {
  bitmap = MakeBitmap(header.width, header.height);
  if (bitmap == nullptr) return false;
  ClearCanvas(bitmap->Canvas(), 0);
  return true;
}

// False when one of them cannot be had.
bool MakeWorkBitmaps(ScriptContext& context, const VideoFileHeader& header, uint32_t options,
                     int32_t x, int32_t y, WorkBitmaps& work) {
  const bool frameBitmap = (options & kPlayOverlay) ||
                           ((options & kPlayOffScreen) && context.window.RectMode() == VANT_RECT_NONE);
  if (options & (kPlaySaveArea | kPlayOverlay)) {
    if (!MakeWorkBitmap(work.background, header)) return false;
    ScreenToBitmap(context, *work.background, x, y);
    work.background->palette = context.palette.Colors();
  }
  if ((options & kPlayOverlay) && !MakeWorkBitmap(work.overlay, header)) return false;
  return !frameBitmap || MakeWorkBitmap(work.frame, header);
}

// One playback: where it draws and what it shows.
struct Playback {
  ScriptContext& context;
  VantVideo* video;
  uint32_t options;
  int32_t x, y;  // the video's top-left corner in the window
  FrameTarget target;
  WorkBitmaps work;
  std::optional<Palette> lastPalette;  // the video's palette at the last change taken

  // The decoded frame in the window.
  void ShowFrame() {
    target.ShowFrame(context, video);
    if (work.frame == nullptr || !context.window.Exists()) return;
    if (work.overlay == nullptr) {
      BitmapToScreen(context, *work.frame, x, y);
      return;
    }
    CopyBitmap(*work.background, *work.overlay, 0, 0);
    CopyBitmap(*work.frame, *work.overlay, 0, 0, CopyMode::kTransparent, context.text.colors.transparent);
    BitmapToScreen(context, *work.overlay, x, y);
  }

  // A new palette of the video, faded in the first time when asked to, else taken at once.
  void TakePalette() {
    const Palette palette = VideoPalette(*video);
    if (lastPalette == palette) return;
    lastPalette = palette;
    if (options & kPlayFadeIn) {
      ShowFrame();
      FadeInPalette(context, palette);
      options &= ~kPlayFadeIn;
    } else if (palette != context.palette.Colors()) {
      context.palette.TakeFrom(palette, context.window);
    }
  }

  // Until the next frame is due, with the window kept going (VantWait feeds the sound).
  void WaitForNextFrame() {
    while (VantWait(video) != 0) {
      context.window.DispatchEvents();
      platform::SleepMilliseconds(1);
    }
  }

  void PlayFrames(int32_t count) {
    const bool palettes = !(options & kPlayNoPalettes) && context.window.Exists();
    for (;;) {
      WaitRound(context);
      WaitWhileAutoPaused(context);
      const bool newPalette = palettes && video->paletteChanged != 0;
      VantDoFrame(video);
      if (newPalette) TakePalette();
      ShowFrame();
      if (Hook()) Hook()(*video, false);
      if ((options & kPlayEscapeStops) && ScriptWindow::KeyWaiting() && ScriptWindow::TakeKey() == kEscape) break;
      if (uint64_t{video->currentFrame} + 1 == video->header.frames && --count == 0) break;
      // A file cut short has shown what it holds; going round again would show nothing.
      if (video->readFailed) break;
      VantNextFrame(video);
      if (!(options & kPlayNoWait)) WaitForNextFrame();
    }
    if (Hook()) Hook()(*video, true);
  }
};

// The window position: the offsets are added before a position is rounded down to a multiple
// of 4; a centred axis is centred in the window (the offset that centring takes off is put
// back).
std::pair<int32_t, int32_t> PlaceVideo(const ScriptContext& context, int32_t x, int32_t y, int64_t width,
                                       int64_t height) {
  const WindowSettings& settings = context.settings;
  const int32_t shiftedX = x == -1 ? -1 : AddWrapping(x, settings.offsetX);
  const int32_t shiftedY = y == -1 ? -1 : AddWrapping(y, settings.offsetY);
  auto [left, top] = PlaceCentered(context, shiftedX, shiftedY, width, height);
  if (x == -1) left = AddWrapping(left, settings.offsetX);
  if (y == -1) top = AddWrapping(top, settings.offsetY);
  return {left, top};
}

}  // namespace

void SetPlaybackHook(PlaybackHook hook) { Hook() = std::move(hook); }

bool PlayAnimation(ScriptContext& context, const std::string& name, int32_t x, int32_t y,
                   int32_t count, uint32_t options) {
  options &= kOptionBits;
  if (!(options & kPlayNoWindow)) RequireWindow(context);
  if (count == 0) return true;
  if (!context.window.Exists()) options &= ~kWindowOptions;

  const int slot = SlotNamed(context, name);
  OwnedVideo opened;
  VantVideo* video = nullptr;
  if (slot >= 0) {
    AnimationSlot& animation = *context.animations.Get(slot);
    video = animation.video;
    if (animation.advancePending) {
      animation.advancePending = false;
      VantNextFrame(video);
    }
  } else {
    opened = context.animations.OpenVideo(name, static_cast<int32_t>(options & (kPlayNeverSkip | kPlayPreload)));
    if (opened == nullptr) return false;
    video = opened.get();
  }

  const VideoFileHeader& header = video->header;
  const auto [left, top] = PlaceVideo(context, x, y, header.width, header.height);
  HidePointerOver(context, ClipRect(left, top, header.width, header.height, context.window.Width(),
                                    context.window.Height()));
  Playback playback{context, video, options, left, top, {}, {}, {}};
  bool ready = MakeWorkBitmaps(context, header, options, left, top, playback.work);
  if (ready && playback.work.frame != nullptr) {
    ready = playback.target.ToBitmap(video, *playback.work.frame);
  } else if (ready && !(options & kPlayNoWindow)) {
    ready = playback.target.ToWindow(context, video, left, top);
  }
  if (ready) {
    if (options & kPlayFadeIn) {
      context.palette.FillUnlocked(0);
      context.palette.Take(context.window);
    }
    playback.PlayFrames(count);
  }

  // Nothing may point at the work bitmaps once they go.
  playback.target.Release(video);
  if (slot >= 0) {
    if (ready) StepAfterShownFrame(*context.animations.Get(slot));
    RestoreAnimationTarget(context, slot);
  }
  playback.work.frame.reset();
  if (ready && (options & kPlayFadeOut)) FadeOutPalette(context);
  if (ready && playback.work.background != nullptr) {
    ApplyPalette(context, playback.work.background->palette, false);
    BitmapToScreen(context, *playback.work.background, left, top);
  }
  return ready;
}

}  // namespace script
