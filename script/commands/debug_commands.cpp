// The trace file: DEBUGFILE opens it (the run loop traces every command into it) and DEBUGTEXT
// writes a line of the script's own into it.
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/script_error.h"
#include "script/language/trace.h"

namespace script {

namespace {

void CommandDebugFile(CommandContext& context) {
  const std::string failure = context.files.Close(context.debugSlot);
  context.debugSlot = kNoSlot;
  if (!failure.empty()) ErrorWriting(context, failure);
  const std::string name = TakeText(context);
  if (!name.empty()) context.debugSlot = context.files.Open(name, SlotMode::kCreate);
}

void CommandDebugText(CommandContext& context) {
  const std::string text = TakeText(context);
  if (!context.Tracing()) return;
  DebugNewLine(context);
  DebugWrite(context, text);
}

constexpr CommandEntry kEntries[] = {
    {"DEBUGFILE", CommandDebugFile},
    {"DEBUGTEXT", CommandDebugText},
};

}  // namespace

std::span<const CommandEntry> DebugCommands() { return kEntries; }

}  // namespace script
