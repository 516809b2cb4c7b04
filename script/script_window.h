#pragma once
// What the script player keeps around its window: the script window is the player's playback
// window with its display buffer. The screen, text and input families build on this; the run
// loop and the flow-control family only ask whether the window exists, whether the run pauses
// for it, and reset its text colours and pointer.
#include <cstdint>
#include <string>

namespace script {

class ScriptContext;

// Text colours and the text cursor.
struct TextState {
  uint8_t textColor = 7;
  uint8_t backColor = 0;
  uint8_t transparentColor = 128;
  int32_t cursorX = 0;
  int32_t cursorY = 0;
};

struct ScriptWindow {
  bool autoPause = false;  // SCREENWINDOWAUTOPAUSE: wait while the window is in the background
  TextState text;
};

bool ScriptWindowExists();

// True while the run waits because auto pause is on and the window does not have the focus.
bool AutoPauseHolds(const ScriptContext& context);

// Closes the window and its display buffer; resets the text colours and the pointer.
void CloseScriptWindow(ScriptContext& context);

// Text colour 7, back colour 0, transparent colour 128; the cursor stays.
void ResetTextState(ScriptContext& context);

// The pointer the script player draws itself over its window.
void HideMousePointer(ScriptContext& context);
void ResetMousePointer(ScriptContext& context);

// Prints the text at the text cursor and ends the line (the lists of VARLIST and the slots).
void PrintLine(ScriptContext& context, const std::string& text);

// The script error of a command that needs the window when there is none.
[[noreturn]] void ErrorNoWindow(ScriptContext& context);

}  // namespace script
