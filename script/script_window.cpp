#include "script/script_window.h"

#include "player/player_window.h"
#include "script/script_context.h"
#include "script/script_error.h"

namespace script {

bool ScriptWindowExists() { return PlayerWindow() != nullptr; }

bool AutoPauseHolds(const ScriptContext& context) {
  return context.window.autoPause && ScriptWindowExists() && PlayerBuffer() != nullptr &&
         VantBufferFocused(PlayerBuffer()) == 0;
}

void CloseScriptWindow(ScriptContext& context) {
  DestroyPlayerWindow();
  ResetTextState(context);
  ResetMousePointer(context);
}

void ResetTextState(ScriptContext& context) {
  TextState& text = context.window.text;
  text.textColor = 7;
  text.backColor = 0;
  text.transparentColor = 128;
}

// Nothing draws the pointer until the window commands open the window and draw it.
void HideMousePointer(ScriptContext&) {}
void ResetMousePointer(ScriptContext&) {}

// Only a window can show printed text, and only the window commands open one.
void PrintLine(ScriptContext& context, const std::string&) {
  if (!ScriptWindowExists()) ErrorNoWindow(context);
}

void ErrorNoWindow(ScriptContext& context) {
  ScriptError(context, "  A window hasn't been created yet (use ScreenGraphics first).\r\n");
}

}  // namespace script
