// The trace file: DEBUGFILE opens it (the run loop traces every command into it) and DEBUGTEXT
// writes a line of the script's own into it.
#include "script/command_handlers.h"
#include "script/params.h"
#include "script/script_context.h"
#include "script/script_error.h"
#include "script/trace.h"

namespace script {

void CommandDebugFile(ScriptContext& context) {
  const std::string failure = context.files.Close(context.debugSlot);
  context.debugSlot = kNoSlot;
  if (!failure.empty()) ErrorWriting(context, failure);
  const std::string name = TakeText(context);
  if (!name.empty()) context.debugSlot = context.files.Open(name, SlotMode::kCreate);
}

void CommandDebugText(ScriptContext& context) {
  const std::string text = TakeText(context);
  if (!context.Tracing()) return;
  DebugNewLine(context);
  DebugWrite(context, text);
}

}  // namespace script
