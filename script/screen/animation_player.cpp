#include "script/screen/animation_player.h"

#include <memory>
#include <optional>
#include <utility>

#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/screen/screen.h"
#include "script/screen/screen_drawing.h"
#include "script/language/script_wait.h"

namespace script {

namespace {

constexpr uint32_t kOptionBits = 0xFFFF;
// What only a window can do.
constexpr uint32_t kWindowOptions = kPlayOffScreen | kPlaySaveArea | kPlayFadeIn | kPlayFadeOut | kPlayOverlay;
constexpr int kEscape = 27;

// The open slot that the text names by its number, or -1: any other text is a file name.
int SlotNamed(AnimationSlots& animations, const std::string& text) {
  if (!IsNumericText(text)) return -1;
  const int64_t slot = int64_t{TextToNumber(text)} - kAnimationNumberBase;
  if (slot < 0 || slot >= kAnimationSlotCount) return -1;
  return animations.Get(static_cast<int>(slot)) != nullptr ? static_cast<int>(slot) : -1;
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
bool MakeWorkBitmaps(const Screen& screen, const VideoFileHeader& header, uint32_t options, int32_t x, int32_t y,
                     WorkBitmaps& work) {
  const bool frameBitmap = (options & kPlayOverlay) ||
                           ((options & kPlayOffScreen) && screen.window.RectMode() == VANT_RECT_NONE);
  if (options & (kPlaySaveArea | kPlayOverlay)) {
    if (!MakeWorkBitmap(work.background, header)) return false;
    ScreenToBitmap(screen.window, *work.background, x, y);
    work.background->palette = screen.palette.Colors();
  }
  if ((options & kPlayOverlay) && !MakeWorkBitmap(work.overlay, header)) return false;
  return !frameBitmap || MakeWorkBitmap(work.frame, header);
}

// One playback: where it draws and what it shows.
struct Playback {
  ScriptContext& context;
  Screen& screen;
  VantVideo* video;
  bool closesAfter;  // opened for this playback: it closes, and its sound stops, when it ends
  uint32_t options;
  int32_t x, y;  // the video's top-left corner in the window
  FrameTarget target;
  WorkBitmaps work;
  std::optional<Palette> lastPalette;  // the video's palette at the last change taken

  // The decoded frame in the window.
  void ShowFrame() {
    target.ShowFrame(screen.window, video);
    if (work.frame == nullptr || !screen.window.Exists()) return;
    if (work.overlay == nullptr) {
      BitmapToScreen(screen.window, screen.pointer, *work.frame, x, y);
      return;
    }
    CopyBitmap(*work.background, *work.overlay, 0, 0);
    CopyBitmap(*work.frame, *work.overlay, 0, 0, CopyMode::kTransparent, screen.text.colors.transparent);
    BitmapToScreen(screen.window, screen.pointer, *work.overlay, x, y);
  }

  // A new palette of the video, faded in the first time when asked to, else taken at once.
  void TakePalette() {
    const Palette palette = VideoPalette(*video);
    if (lastPalette == palette) return;
    lastPalette = palette;
    if (options & kPlayFadeIn) {
      ShowFrame();
      screen.palette.FadeIn(palette, screen.window, FadeStepWait(context, screen.settings));
      options &= ~kPlayFadeIn;
    } else if (palette != screen.palette.Colors()) {
      screen.palette.TakeFrom(palette, screen.window);
    }
  }

  // Until the next frame is due (VantWait feeds the sound too).
  void WaitForNextFrame() {
    WaitFor(context, [this] { return VantWait(video) == 0; });
  }

  void PlayFrames(int32_t count) {
    const bool palettes = !(options & kPlayNoPalettes) && screen.window.Exists();
    for (;;) {
      context.KeepResponsive();
      context.WaitWhilePaused();
      const bool newPalette = palettes && video->paletteChanged != 0;
      VantDoFrame(video);
      if (newPalette) TakePalette();
      ShowFrame();
      if (screen.playbackHook) screen.playbackHook(*video, false);
      if ((options & kPlayEscapeStops) && screen.window.KeyWaiting() && screen.window.TakeKey() == kEscape) break;
      if (uint64_t{video->currentFrame} + 1 == video->header.frames && --count == 0) {
        // The last frame's sound plays out before the video closes; a slot's video goes on.
        if (closesAfter && !(options & kPlayNoWait)) WaitForNextFrame();
        break;
      }
      // A file cut short has shown what it holds; going round again would show nothing.
      if (video->readFailed) break;
      VantNextFrame(video);
      if (!(options & kPlayNoWait)) WaitForNextFrame();
    }
    if (screen.playbackHook) screen.playbackHook(*video, true);
  }
};

// The window position: the offsets are added before a position is rounded down to a multiple
// of 4; a centred axis is centred in the window (the offset that centring takes off is put
// back).
std::pair<int32_t, int32_t> PlaceVideo(const Screen& screen, int32_t x, int32_t y, int64_t width, int64_t height) {
  const WindowSettings& settings = screen.settings;
  const int32_t shiftedX = x == -1 ? -1 : AddWrapping(x, settings.offsetX);
  const int32_t shiftedY = y == -1 ? -1 : AddWrapping(y, settings.offsetY);
  auto [left, top] = PlaceCentered(screen.window, settings, shiftedX, shiftedY, width, height);
  if (x == -1) left = AddWrapping(left, settings.offsetX);
  if (y == -1) top = AddWrapping(top, settings.offsetY);
  return {left, top};
}

}  // namespace

bool PlayAnimation(ScriptContext& context, Screen& screen, const std::string& name, int32_t x, int32_t y,
                   int32_t count, uint32_t options) {
  options &= kOptionBits;
  if (!(options & kPlayNoWindow)) RequireWindow(context, screen.window);
  if (count == 0) return true;
  if (!screen.window.Exists()) options &= ~kWindowOptions;

  AnimationSlots& animations = screen.animations;
  const int slot = SlotNamed(animations, name);
  OwnedVideo opened;
  VantVideo* video = nullptr;
  if (slot >= 0) {
    AnimationSlot& animation = *animations.Get(slot);
    video = animation.video;
    if (animation.advancePending) {
      animation.advancePending = false;
      VantNextFrame(video);
    }
  } else {
    opened = animations.OpenVideo(name, static_cast<int32_t>(options & (kPlayNeverSkip | kPlayPreload)));
    if (opened == nullptr) return false;
    video = opened.get();
  }

  const VideoFileHeader& header = video->header;
  const auto [left, top] = PlaceVideo(screen, x, y, header.width, header.height);
  screen.pointer.HideOver(ClipRect(left, top, header.width, header.height, screen.window.Width(),
                                   screen.window.Height()));
  Playback playback{context, screen, video, slot < 0, options, left, top, {}, {}, {}};
  bool ready = MakeWorkBitmaps(screen, header, options, left, top, playback.work);
  if (ready && playback.work.frame != nullptr) {
    ready = playback.target.ToBitmap(video, *playback.work.frame);
  } else if (ready && !(options & kPlayNoWindow)) {
    ready = playback.target.ToWindow(screen.window, video, left, top);
  }
  if (ready) {
    if (options & kPlayFadeIn) {
      screen.palette.FillUnlocked(0);
      screen.palette.Take(screen.window);
    }
    playback.PlayFrames(count);
  }

  // Nothing may point at the work bitmaps once they go.
  playback.target.Release(video);
  if (slot >= 0) {
    if (ready) StepAfterShownFrame(*animations.Get(slot));
    RestoreAnimationTarget(animations, screen.window, screen.bitmaps, slot);
  }
  playback.work.frame.reset();
  if (ready && (options & kPlayFadeOut)) {
    screen.palette.FadeOut(screen.window, FadeStepWait(context, screen.settings));
  }
  if (ready && playback.work.background != nullptr) {
    screen.palette.Apply(playback.work.background->palette, false, screen.window, {});
    BitmapToScreen(screen.window, screen.pointer, *playback.work.background, left, top);
  }
  return ready;
}

}  // namespace script
