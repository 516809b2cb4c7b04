// Text: write into the window at the text position (or into the print file while one is
// open), set the colours, the position and the font, and report the position.
#include "script/commands/command_handlers.h"
#include "script/language/compiler.h"
#include "script/language/params.h"
#include "script/language/script_context.h"
#include "script/commands/slot_numbers.h"
#include "script/language/text_functions.h"

namespace script {

namespace {

void WriteToPrintFile(ScriptContext& context, const std::string& text) {
  if (toolsupport::BufferedFile* file = context.files.File(context.printSlot)) {
    file->WriteRaw(text.data(), text.size());
  }
}

// A line of text: into the print file with "\r\n", or onto the screen with a line end.
void WriteLine(ScriptContext& context, const std::string& text) {
  if (context.Printing()) {
    WriteToPrintFile(context, text + "\r\n");
  } else {
    PrintText(context, text);
    PrintText(context, "\n");
  }
}

bool IsBlockEnd(const std::string& line) {
  std::string rest = line;
  return UpperCased(TakeCommandWord(rest)) == "TEXTEND";
}

}  // namespace

void CommandText(ScriptContext& context) {
  RequireWindow(context);
  WriteLine(context, TakeText(context));
}

void CommandTextNoCr(ScriptContext& context) {
  RequireWindow(context);
  const std::string text = TakeText(context);
  if (context.Printing()) {
    WriteToPrintFile(context, text);
  } else {
    PrintText(context, text);
  }
}

void CommandTextBegin(ScriptContext& context) {
  RequireWindow(context);
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

void CommandTextColor(ScriptContext& context) { context.text.colors.text = TakeColor(context); }

void CommandTextBackColor(ScriptContext& context) { context.text.colors.back = TakeColor(context); }

void CommandTextTransColor(ScriptContext& context) { context.text.colors.transparent = TakeColor(context); }

void CommandTextSetXY(ScriptContext& context) {
  const int32_t x = TakeNumber(context);
  const int32_t y = TakeNumber(context);
  context.text.cursorX = AddWrapping(x, context.settings.offsetX);
  context.text.cursorY = AddWrapping(y, context.settings.offsetY);
}

void CommandTextX(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, SubtractWrapping(context.text.cursorX, context.settings.offsetX));
}

void CommandTextY(ScriptContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, SubtractWrapping(context.text.cursorY, context.settings.offsetY));
}

void CommandTextFontFromBitmap(ScriptContext& context) {
  const int32_t number = TakeNumber(context);
  if (number == 0) {
    for (int i = 0; i < 4; ++i) TakeText(context);
    context.text.bitmapFont.reset();
    return;
  }
  const int slot = BitmapSlotOf(context, number, false);
  const int32_t width = TakeNumber(context);
  const int32_t height = TakeNumber(context);
  const int32_t first = TakeNumber(context);
  const int32_t last = TakeNumber(context);
  // A font that cannot be made leaves the current one in place.
  std::optional<Font> font = Font::FromBitmap(*context.bitmaps.Get(slot), first, width, height, last);
  if (font) context.text.bitmapFont = std::move(font);
}

}  // namespace script
