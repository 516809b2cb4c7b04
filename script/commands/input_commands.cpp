// Keyboard and mouse input: wait for keys, clicks or a time limit, ask in a message box or an
// input field, and keep the named mouse areas.
#include <algorithm>

#include "script/commands/command_handlers.h"
#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/screen/script_input.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

// The longest line the line editor reads: the text limit of the language.
int32_t TakeLineLimit(ScriptContext& context) {
  return std::clamp<int32_t>(TakeNumber(context), 0, static_cast<int32_t>(kTextLimit));
}

// The pointer's position, brought up to date while it is drawn.
void RefreshPointer(ScriptContext& context) {
  if (PointerOn(context) && context.window.Exists()) UpdateMousePointer(context);
}

// The pointer's image follows the area now under it (the built-in one for none).
void FollowArea(ScriptContext& context) {
  const MouseArea* area = context.mouseAreas.Find(context.pointer.x, context.pointer.y);
  SetPointerImage(context, area != nullptr ? area->pointer : -1);
}

}  // namespace

void CommandInputChar(ScriptContext& context) {
  RequireWindow(context);
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, WaitInputChar(context, -1));
}

void CommandInputCharOrDelay(ScriptContext& context) {
  RequireWindow(context);
  const std::string variable = TakeVariable(context);
  const int32_t limit = TakeNumber(context);
  SetVariable(context, variable, WaitInputChar(context, limit < -1 ? 0 : limit));
}

void CommandInputStr(ScriptContext& context) {
  RequireWindow(context);
  const std::string variable = TakeVariable(context);
  const int32_t limit = TakeLineLimit(context);
  const std::string prompt = TakeText(context);
  HideMousePointer(context);
  PrintText(context, prompt);
  SetVariable(context, variable, ReadTextLine(context, limit, ""));
}

void CommandInputStrWin(ScriptContext& context) {
  RequireWindow(context);
  const std::string variable = TakeVariable(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const int32_t limit = TakeLineLimit(context);
  const std::string prompt = TakeText(context);
  SetVariable(context, variable, InputBox(context, x, y, limit, prompt));
}

// The box is placed by the window system; its position is taken all the same.
void CommandInputMsgWin(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  TakeNumber(context);
  TakeNumber(context);
  const int32_t buttons = TakeNumber(context);
  const std::string text = TakeText(context);
  SetVariableNumber(context, variable, AskMessageBox(context, text, buttons));
}

void CommandMouseAdd(ScriptContext& context) {
  std::string name = TakeNonEmptyText(context);
  const int64_t x = int64_t{TakeNumber(context)} + context.settings.offsetX;
  const int64_t y = int64_t{TakeNumber(context)} + context.settings.offsetY;
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  const int pointer = TakeBitmapSlot(context, true);  // 0: the built-in pointer
  if (!context.mouseAreas.Add(std::move(name), x, width, y, height, pointer)) {
    ScriptError(context, "  Could not add mouse area in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  FollowArea(context);
}

void CommandMouseRemove(ScriptContext& context) { context.mouseAreas.Remove(TakeNonEmptyText(context)); }

void CommandMouseRemoveAll(ScriptContext& context) {
  SkipLeadingBlanks(context);
  context.mouseAreas.RemoveAll();
}

void CommandMousePushAndRemoveAll(ScriptContext& context) {
  SkipLeadingBlanks(context);
  HideMousePointer(context);
  context.mouseAreas.Push();
}

void CommandMousePop(ScriptContext& context) {
  SkipLeadingBlanks(context);
  HideMousePointer(context);
  context.mouseAreas.Pop();
}

void CommandMouseArea(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const MouseArea* area = context.mouseAreas.Find(context.pointer.x, context.pointer.y);
  SetVariable(context, variable, area != nullptr ? area->name : "");
}

// While the pointer is outside the window its position stays -1.
void CommandMouseX(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const int32_t x = context.pointer.x;
  SetVariableNumber(context, variable, x == -1 ? -1 : SubtractWrapping(x, context.settings.offsetX));
}

void CommandMouseY(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const int32_t y = context.pointer.y;
  SetVariableNumber(context, variable, y == -1 ? -1 : SubtractWrapping(y, context.settings.offsetY));
}

void CommandMouseSetXY(ScriptContext& context) {
  const int64_t x = int64_t{TakeNumber(context)} + context.settings.offsetX;
  const int64_t y = int64_t{TakeNumber(context)} + context.settings.offsetY;
  SetMousePosition(context, x, y);
}

void CommandMousePresent(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, PointerOn(context) ? 1 : 0);
}

void CommandMouseMode(ScriptContext& context) { TakeNumber(context); }

}  // namespace script
