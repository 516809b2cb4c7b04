// Keyboard and mouse input: wait for keys, clicks or a time limit, ask in a message box or an
// input field, and keep the named mouse areas.
#include <algorithm>

#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/script_error.h"
#include "script/screen/script_input.h"
#include "script/commands/slot_numbers.h"

namespace script {

namespace {

// The longest line the line editor reads: the text limit of the language.
int32_t TakeLineLimit(CommandContext& context) {
  return std::clamp<int32_t>(TakeNumber(context), 0, static_cast<int32_t>(kTextLimit));
}

// The pointer's position, brought up to date while it is drawn.
void RefreshPointer(CommandContext& context) {
  Screen& screen = context.screen;
  if (screen.pointer.On() && screen.window.Exists()) screen.pointer.Update();
}

// The pointer's image follows the area now under it (the built-in one for none).
void FollowArea(CommandContext& context) {
  Screen& screen = context.screen;
  const MouseArea* area = screen.mouseAreas.Find(screen.pointer.X(), screen.pointer.Y());
  screen.pointer.SetImage(area != nullptr ? area->pointer : -1);
}

void CommandInputChar(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, WaitInputChar(context, context.screen, -1));
}

void CommandInputCharOrDelay(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  const std::string variable = TakeVariable(context);
  const int32_t limit = TakeNumber(context);
  SetVariable(context, variable, WaitInputChar(context, context.screen, limit < -1 ? 0 : limit));
}

void CommandInputStr(CommandContext& context) {
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const std::string variable = TakeVariable(context);
  const int32_t limit = TakeLineLimit(context);
  const std::string prompt = TakeText(context);
  screen.pointer.Hide();
  PrintText(screen.window, screen.pointer, screen.text, screen.settings, prompt);
  SetVariable(context, variable, ReadTextLine(context, screen, limit, ""));
}

void CommandInputStrWin(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  const std::string variable = TakeVariable(context);
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  const int32_t limit = TakeLineLimit(context);
  const std::string prompt = TakeText(context);
  SetVariable(context, variable, InputBox(context, context.screen, x, y, limit, prompt));
}

// The box is placed by the window system; its position is taken all the same.
void CommandInputMsgWin(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  TakeNumber(context);
  TakeNumber(context);
  const int32_t buttons = TakeNumber(context);
  const std::string text = TakeText(context);
  SetVariableNumber(context, variable, AskMessageBox(screen.window, screen.pointer, text, buttons));
}

void CommandMouseAdd(CommandContext& context) {
  Screen& screen = context.screen;
  std::string name = TakeNonEmptyText(context);
  const int64_t x = int64_t{TakeNumber(context)} + screen.settings.offsetX;
  const int64_t y = int64_t{TakeNumber(context)} + screen.settings.offsetY;
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  const int pointer = TakeBitmapSlot(context, true);  // 0: the built-in pointer
  if (!screen.mouseAreas.Add(std::move(name), x, width, y, height, pointer)) {
    ScriptError(context, "  Could not add mouse area in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  FollowArea(context);
}

void CommandMouseRemove(CommandContext& context) { context.screen.mouseAreas.Remove(TakeNonEmptyText(context)); }

void CommandMouseRemoveAll(CommandContext& context) {
  SkipLeadingBlanks(context);
  context.screen.mouseAreas.RemoveAll();
}

void CommandMousePushAndRemoveAll(CommandContext& context) {
  Screen& screen = context.screen;
  SkipLeadingBlanks(context);
  screen.pointer.Hide();
  screen.mouseAreas.Push();
}

void CommandMousePop(CommandContext& context) {
  Screen& screen = context.screen;
  SkipLeadingBlanks(context);
  screen.pointer.Hide();
  screen.mouseAreas.Pop();
}

void CommandMouseArea(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const MouseArea* area = screen.mouseAreas.Find(screen.pointer.X(), screen.pointer.Y());
  SetVariable(context, variable, area != nullptr ? area->name : "");
}

// While the pointer is outside the window its position stays -1.
void CommandMouseX(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const int32_t x = screen.pointer.X();
  SetVariableNumber(context, variable, x == -1 ? -1 : SubtractWrapping(x, screen.settings.offsetX));
}

void CommandMouseY(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  RefreshPointer(context);
  const int32_t y = screen.pointer.Y();
  SetVariableNumber(context, variable, y == -1 ? -1 : SubtractWrapping(y, screen.settings.offsetY));
}

void CommandMouseSetXY(CommandContext& context) {
  Screen& screen = context.screen;
  const int64_t x = int64_t{TakeNumber(context)} + screen.settings.offsetX;
  const int64_t y = int64_t{TakeNumber(context)} + screen.settings.offsetY;
  screen.pointer.MoveTo(x, y);
}

void CommandMousePresent(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.screen.pointer.On() ? 1 : 0);
}

void CommandMouseMode(CommandContext& context) { TakeNumber(context); }

constexpr CommandEntry kEntries[] = {
    {"INPUTCHAR", CommandInputChar},
    {"INPUTCHARORDELAY", CommandInputCharOrDelay},
    {"INPUTMSGWIN", CommandInputMsgWin},
    {"INPUTSTR", CommandInputStr},
    {"INPUTSTRWIN", CommandInputStrWin},
    {"MOUSEADD", CommandMouseAdd},
    {"MOUSEAREA", CommandMouseArea},
    {"MOUSEMODE", CommandMouseMode},
    {"MOUSEPOP", CommandMousePop},
    {"MOUSEPRESENT", CommandMousePresent},
    {"MOUSEPUSHANDREMOVEALL", CommandMousePushAndRemoveAll},
    {"MOUSEREMOVE", CommandMouseRemove},
    {"MOUSEREMOVEALL", CommandMouseRemoveAll},
    {"MOUSESETXY", CommandMouseSetXY},
    {"MOUSEX", CommandMouseX},
    {"MOUSEY", CommandMouseY},
};

}  // namespace

std::span<const CommandEntry> InputCommands() { return kEntries; }

}  // namespace script
