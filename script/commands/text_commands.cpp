// Text: write into the window at the text position (or into the print file while one is
// open), set the colours, the position and the font, and report the position.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/compiler.h"
#include "script/language/params.h"
#include "script/commands/slot_numbers.h"
#include "script/language/text_functions.h"

namespace script {

namespace {

// A line of text: into the print file with "\r\n", or onto the screen with a line end.
void WriteLine(CommandContext& context, const std::string& text) {
  SystemServices& system = context.system;
  Screen& screen = context.screen;
  if (system.print.Active()) {
    WritePrintText(context.files, system.print, text + "\r\n");
  } else {
    PrintText(screen.window, screen.pointer, screen.text, screen.settings, text);
    PrintText(screen.window, screen.pointer, screen.text, screen.settings, "\n");
  }
}

bool IsBlockEnd(const std::string& line) {
  std::string rest = line;
  return UpperCased(TakeCommandWord(rest)) == "TEXTEND";
}

void CommandText(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  WriteLine(context, TakeText(context));
}

void CommandTextNoCr(CommandContext& context) {
  SystemServices& system = context.system;
  Screen& screen = context.screen;
  RequireWindow(context, screen.window);
  const std::string text = TakeText(context);
  if (system.print.Active()) {
    WritePrintText(context.files, system.print, text);
  } else {
    PrintText(screen.window, screen.pointer, screen.text, screen.settings, text);
  }
}

void CommandTextBegin(CommandContext& context) {
  RequireWindow(context, context.screen.window);
  for (;;) {
    if (context.run.runPointer >= context.run.compileEnd) {
      context.run.runState = RunState::kLeaveScript;
      return;
    }
    const ScriptRecord* record = context.TakeTextRecord();
    if (record == nullptr || IsBlockEnd(record->params)) return;
    std::string line = record->params;
    ExpandVariableRefs(context, line);
    WriteLine(context, line);
  }
}

void CommandTextColor(CommandContext& context) { context.screen.text.colors.text = TakeColor(context); }

void CommandTextBackColor(CommandContext& context) { context.screen.text.colors.back = TakeColor(context); }

void CommandTextTransColor(CommandContext& context) { context.screen.text.colors.transparent = TakeColor(context); }

void CommandTextSetXY(CommandContext& context) {
  Screen& screen = context.screen;
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  screen.text.cursorX = AddWrapping(x, screen.settings.offsetX);
  screen.text.cursorY = AddWrapping(y, screen.settings.offsetY);
}

void CommandTextX(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, SubtractWrapping(screen.text.cursorX, screen.settings.offsetX));
}

void CommandTextY(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, SubtractWrapping(screen.text.cursorY, screen.settings.offsetY));
}

void CommandTextFontFromBitmap(CommandContext& context) {
  Screen& screen = context.screen;
  const int32_t number = TakeNumber(context);
  if (number == 0) {
    for (int i = 0; i < 4; ++i) TakeText(context);
    screen.text.bitmapFont.reset();
    return;
  }
  const int slot = BitmapSlotOf(context, number, false);
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  const int32_t first = TakeNumber(context);
  const int32_t last = TakeNumber(context);
  // A font that cannot be made leaves the current one in place.
  std::optional<Font> font = Font::FromBitmap(*screen.bitmaps.Get(slot), first, width, height, last);
  if (font) screen.text.bitmapFont = std::move(font);
}

constexpr CommandEntry kEntries[] = {
    {"TEXT", CommandText},
    {"TEXTBACKCOLOR", CommandTextBackColor},
    {"TEXTBEGIN", CommandTextBegin},
    {"TEXTCOLOR", CommandTextColor},
    {"TEXTFONTFROMBITMAP", CommandTextFontFromBitmap},
    {"TEXTNOCR", CommandTextNoCr},
    {"TEXTSETXY", CommandTextSetXY},
    {"TEXTTRANSCOLOR", CommandTextTransColor},
    {"TEXTX", CommandTextX},
    {"TEXTY", CommandTextY},
};

}  // namespace

std::span<const CommandEntry> TextCommands() { return kEntries; }

}  // namespace script
