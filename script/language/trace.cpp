#include "script/language/trace.h"

#include "script/language/script_context.h"

namespace script {

namespace {

constexpr size_t kLineNumberColumns = 7;

void Write(ScriptContext& context, const std::string& text) {
  if (toolsupport::BufferedFile* file = context.files.File(context.debugSlot)) {
    file->WriteRaw(text.data(), text.size());
  }
}

}  // namespace

void TraceCommand(ScriptContext& context, const std::string& prefix) {
  if (!context.Tracing()) return;
  std::string number = std::to_string(context.run.currentLine) + ":";
  number.resize(kLineNumberColumns, ' ');
  Write(context, context.run.indent + prefix + number + context.run.lineBuffer);
}

void TraceText(ScriptContext& context, const std::string& text) { Write(context, text); }

void DebugNewLine(ScriptContext& context) { Write(context, "\r\n"); }

void DebugWrite(ScriptContext& context, const std::string& text) {
  Write(context, text + "\r\n");
  if (toolsupport::BufferedFile* file = context.files.File(context.debugSlot)) {
    file->Flush();
  }
}

}  // namespace script
