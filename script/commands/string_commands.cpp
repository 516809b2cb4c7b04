// Strings: the STR commands compute texts and facts about texts into variables.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/run_loop.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "toolsupport/base/paths.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

// var, text: var := f(text).
template <typename Function>
void SetFromText(CommandContext& context, Function function) {
  const std::string variable = TakeVariable(context);
  SetVariable(context, variable, function(TakeText(context)));
}

// var, width, text: var := the padded text.
void SetPadded(CommandContext& context, char pad, bool padRight) {
  const std::string variable = TakeVariable(context);
  const int32_t width = TakeNumber(context);
  SetVariable(context, variable, PadText(TakeText(context), width, pad, padRight));
}

void CommandStrLength(CommandContext& context) {
  SetFromText(context, [](const std::string& text) { return std::to_string(text.size()); });
}

void CommandStrUCase(CommandContext& context) { SetFromText(context, UpperCased); }

void CommandStrLCase(CommandContext& context) { SetFromText(context, LowerCase); }

void CommandStrTrim(CommandContext& context) {
  SetFromText(context, [](std::string text) {
    TrimText(text);
    return text;
  });
}

void CommandStrIsNumeric(CommandContext& context) {
  SetFromText(context, [](const std::string& text) { return IsNumericText(text) ? "1" : "0"; });
}

void CommandStrIsLabel(CommandContext& context) {
  SetFromText(context, [&context](std::string label) {
    return FindLabel(context, label) ? "1" : "0";
  });
}

void CommandStrAddBackslash(CommandContext& context) {
  SetFromText(context, [](std::string path) {
    AddPathSeparator(path);
    return path;
  });
}

void CommandStrFind(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const bool ignoreCase = TakeNumber(context) != 0;
  const std::string what = TakeText(context);
  const std::string where = TakeText(context);
  SetVariableNumber(context, variable, FindText(what, where, ignoreCase));
}

void CommandStrFirst(CommandContext& context) {
  const std::string first = TakeVariable(context);
  const std::string rest = TakeVariable(context);
  SplitVariable(context, first, rest, TakeText(context));
}

void CommandStrPiece(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  const int32_t start = TakeNumber(context);
  const int32_t length = TakeNumber(context);
  SetVariable(context, variable, TextPiece(TakeText(context), start, length));
}

void CommandStrRepeat(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  std::string character;
  const ParamKind kind = NextParam(context, character, true);
  if (kind == ParamKind::kNothing || character.empty()) ErrorNeedNonEmpty(context);
  // A number is a character code; code 0 gives nothing.
  const char repeated = kind == ParamKind::kNumber ? static_cast<char>(TextToNumber(character) & 0xFF)
                                                   : character[0];
  const int32_t count = TakeNumber(context);
  SetVariable(context, variable, repeated == '\0' ? std::string() : RepeatCharacter(repeated, count));
}

void CommandStrLPad(CommandContext& context) { SetPadded(context, ' ', false); }

void CommandStrLPadZero(CommandContext& context) { SetPadded(context, '0', false); }

void CommandStrRPad(CommandContext& context) { SetPadded(context, ' ', true); }

constexpr CommandEntry kEntries[] = {
    {"STRADDBACKSLASH", CommandStrAddBackslash},
    {"STRFIND", CommandStrFind},
    {"STRFIRST", CommandStrFirst},
    {"STRISLABEL", CommandStrIsLabel},
    {"STRISNUMERIC", CommandStrIsNumeric},
    {"STRLCASE", CommandStrLCase},
    {"STRLENGTH", CommandStrLength},
    {"STRLPAD", CommandStrLPad},
    {"STRLPADZERO", CommandStrLPadZero},
    {"STRPIECE", CommandStrPiece},
    {"STRREPEAT", CommandStrRepeat},
    {"STRRPAD", CommandStrRPad},
    {"STRTRIM", CommandStrTrim},
    {"STRUCASE", CommandStrUCase},
};

}  // namespace

std::span<const CommandEntry> StringCommands() { return kEntries; }

}  // namespace script
