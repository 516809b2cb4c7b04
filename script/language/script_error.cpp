#include "script/language/script_error.h"

#include "script/language/script_context.h"
#include "script/language/trace.h"

namespace script {

namespace {

[[noreturn]] void ErrorWithLine(ScriptContext& context, std::string_view message) {
  ScriptError(context, message, context.run.lineBuffer, "\r\n");
}

}  // namespace

std::string ScriptErrorText(const ScriptContext& context, std::string_view message,
                            std::string_view detail, std::string_view extra) {
  std::string text(message);
  text += detail;
  text += extra;
  if (!context.run.scriptName.empty()) {
    text += "  In script file: " + context.run.scriptName +
            "  At line number: " + std::to_string(context.run.currentLine) + ".\r\n";
  }
  return text;
}

void ScriptError(ScriptContext& context, std::string_view message, std::string_view detail,
                 std::string_view extra) {
  if (context.Tracing()) {
    DebugNewLine(context);
    std::string traced(message);
    traced += detail;
    traced += extra;
    TraceText(context, traced);
    DebugNewLine(context);
  }
  throw ScriptFailure(ScriptErrorText(context, message, detail, extra));
}

void ErrorNeedVariable(ScriptContext& context) {
  ErrorWithLine(context, "  Needed a variable in command:\r\n    ");
}

void ErrorNeedParameter(ScriptContext& context) {
  ErrorWithLine(context, "  Needed a parameter in command:\r\n    ");
}

void ErrorNeedNonEmpty(ScriptContext& context) {
  ErrorWithLine(context, "  Needed a non-empty parameter in command:\r\n    ");
}

void ErrorNeedNumber(ScriptContext& context) {
  ErrorWithLine(context, "  Needed a number in command:\r\n    ");
}

void ErrorBadCommand(ScriptContext& context) {
  ErrorWithLine(context, "  Bad script command:\r\n    ");
}

void ErrorBadFrame(ScriptContext& context) { ErrorWithLine(context, "  Bad frame parameter:\r\n    "); }

void ErrorBadAnimation(ScriptContext& context) {
  ErrorWithLine(context, "  Bad animation parameter:\r\n    ");
}

void ErrorBadFile(ScriptContext& context) { ErrorWithLine(context, "  Bad file parameter:\r\n    "); }

constexpr const char* kErrorWriting = "  Error writing:\r\n    ";

void ErrorWriting(ScriptContext& context, const std::string& failure) {
  ScriptError(context, kErrorWriting, {}, failure + "\r\n");
}

std::string WritingErrorText(const std::string& failure) { return kErrorWriting + failure + "\r\n"; }

}  // namespace script
