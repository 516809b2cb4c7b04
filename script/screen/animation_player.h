#pragma once
// ANIMATIONPLAY's engine: plays a whole video file, or an open animation slot, into the script
// window in one go, paced by the video (and its sound), with the effects the option word asks
// for, and puts everything back afterwards.
#include <cstdint>
#include <functional>
#include <string>

#include "playback/vant.h"

namespace script {

class ScriptContext;
struct Screen;

// The option word of PlayAnimation (its low 16 bits count).
enum PlayOption : uint32_t {
  kPlayNeverSkip = 0x0001,    // a file opened here decodes late frames all the same
  kPlayPreload = 0x0002,      // ... and is read into memory whole
  kPlayNoWait = 0x0004,       // frames follow each other at once
  kPlayOffScreen = 0x0008,    // frames go through a frame bitmap (only where the display
                              // buffer's pixels are the display's own)
  kPlaySaveArea = 0x0010,     // the window area and palette are put back afterwards
  kPlayFadeIn = 0x0020,       // from a black palette, fading in at the video's first palette
  kPlayFadeOut = 0x0040,      // the palette fades out after the last frame
  kPlayEscapeStops = 0x0080,  // Escape ends the playback; other keys are taken and dropped
  kPlayOverlay = 0x0100,      // frames laid over the window, text-transparent pixels left out
  kPlayNoPalettes = 0x0200,   // the window keeps its palette
  kPlayNoWindow = 0x0400,     // no window needed: frames are not decoded into it
};

// Plays `video` (the number 3000 to 3031 of an open slot, else a file name; ".vnt" is tried when
// it has no extension) with its top-left corner at (x, y) of the script's coordinates (-1
// centres in the window; any other position gets the coordinate offsets added and is then
// rounded down to a multiple of 4 across), `count` times through (below 0: until Escape).
// False when the file cannot be opened or the memory for the playback cannot be had; a count
// of 0 plays nothing and gives true. A slot stays open, at the frame after the last one shown,
// decoding where it did before; a file opened here closes once its last frame's sound has
// played (unless kPlayNoWait). Needs the window unless kPlayNoWindow is given; without one,
// the options that draw or fade are left out.
// The screen's playback hook runs after every frame shown and at the end.
bool PlayAnimation(ScriptContext& context, Screen& screen, const std::string& video, int32_t x, int32_t y,
                   int32_t count, uint32_t options);

// Runs after every frame shown (ended false) and once when the playback ends, before anything
// is put back (ended true). For measuring and tests.
using PlaybackHook = std::function<void(VantVideo& video, bool ended)>;

}  // namespace script
