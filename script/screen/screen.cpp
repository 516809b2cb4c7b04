#include "script/screen/screen.h"

namespace script {

Screen::Screen(PlaybackWindow& playback, platform::Clock& clock)
    : window(playback),
      clicksTaken{window.Clicks(false), window.Clicks(true)},
      pointer(window, bitmaps, palette),
      animations(clock) {}

void CloseScriptWindow(Screen& screen) {
  screen.animations.ReleaseWindowTargets();
  screen.window.Close();
  screen.text.ResetColors();
  screen.pointer.Reset();
}

void FreeBitmap(Screen& screen, int slot) {
  screen.animations.ReleaseBitmapTarget(slot);
  screen.bitmaps.Free(slot);
}

}  // namespace script
