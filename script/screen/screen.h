#pragma once
// What a script run keeps of its screen: the window and its settings, the palette, the text
// state, the pointer and the mouse areas, the bitmaps and the videos.
#include <cstdint>

#include "platform/system/clock.h"
#include "script/screen/animation_player.h"
#include "script/screen/animation_slots.h"
#include "script/screen/bitmaps.h"
#include "script/screen/mouse_areas.h"
#include "script/screen/mouse_pointer.h"
#include "script/screen/screen_palette.h"
#include "script/screen/script_window.h"
#include "script/screen/text_output.h"

class PlaybackWindow;

namespace script {

// Mouse button releases the script has taken, against the window's counts.
struct ClickCounts {
  uint32_t left = 0;
  uint32_t right = 0;
};

struct Screen {
  // The script window is the playback window given; the videos keep time on the clock. Both
  // must outlive this.
  Screen(PlaybackWindow& playback, platform::Clock& clock);
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  ScriptWindow window;
  WindowSettings settings;
  ScreenPalette palette;
  TextState text;
  MouseAreas mouseAreas;
  ClickCounts clicksTaken;
  // The pointer's image may be a bitmap, and the videos close before the bitmaps they may
  // decode into are freed.
  BitmapSlots bitmaps;
  MousePointer pointer;
  AnimationSlots animations;
  // Runs after every frame ANIMATIONPLAY shows and when it ends (measuring, tests); none by
  // default.
  PlaybackHook playbackHook;
};

// Closes the window and its display buffer; lets go of the videos that decode into it; resets
// the text colours and the pointer.
void CloseScriptWindow(Screen& screen);

// Frees the bitmap; the videos that decode into it let go of it.
void FreeBitmap(Screen& screen, int slot);

}  // namespace script
