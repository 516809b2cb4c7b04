#include "script/language/run_loop.h"

#include "platform/system/file_names.h"
#include "script/language/compiler.h"
#include "script/language/script_context.h"
#include "script/language/script_error.h"
#include "script/language/text_functions.h"
#include "script/language/trace.h"
#include "toolsupport/base/paths.h"
#include "toolsupport/base/text_words.h"

namespace script {

namespace {

// What a level changes of its caller's state, put back when it ends however it ends.
class LevelScope {
 public:
  explicit LevelScope(Interpreter& run)
      : run_(run),
        scriptName_(run.scriptName),
        indent_(run.indent),
        labelBase_(run.labelBase),
        gosubDepth_(run.gosubDepth),
        script_(run.script),
        runPointer_(run.runPointer),
        compileEnd_(run.compileEnd) {
    run.labelBase = run.labels.size();
  }
  ~LevelScope() {
    run_.labels.resize(run_.labelBase);
    run_.scriptName = scriptName_;
    run_.indent = indent_;
    run_.labelBase = labelBase_;
    run_.gosubDepth = gosubDepth_;
    run_.script = script_;
    run_.runPointer = runPointer_;
    run_.compileEnd = compileEnd_;
  }
  LevelScope(const LevelScope&) = delete;
  LevelScope& operator=(const LevelScope&) = delete;

 private:
  Interpreter& run_;
  std::string scriptName_;
  std::string indent_;
  size_t labelBase_;
  int gosubDepth_;
  const CompiledScript* script_;
  size_t runPointer_;
  size_t compileEnd_;
};

void CallHandler(ScriptContext& context, size_t command) {
  context.run.command = static_cast<int>(command);
  context.RunCommand(command);
}

// What follows every handler: the trace's line end, then a round of the window and the sound,
// and the wait while the run is paused.
void AfterHandler(ScriptContext& context) {
  DebugNewLine(context);
  context.KeepResponsive();
  context.WaitWhilePaused();
}

// Runs the line buffer as a command line; false when it holds nothing to run.
bool RunCommandLine(ScriptContext& context) {
  Interpreter& run = context.run;
  if (run.lineBuffer.empty() || run.lineBuffer[0] == '#') return false;
  run.params = run.lineBuffer;
  std::string word = TakeCommandWord(run.params);
  UpperCase(word);
  const std::optional<size_t> command = context.Commands().Find(word);
  if (!command) ErrorBadCommand(context);
  TraceCommand(context, " -> ");
  CallHandler(context, *command);
  return true;
}

// Runs one record and whatever its line goes on with. False when the level is to end.
bool RunRecord(ScriptContext& context, const ScriptRecord& record) {
  Interpreter& run = context.run;
  run.currentLine = record.line;
  run.params = record.params;
  run.lineBuffer = std::string(context.Commands().Word(record.command)) + " " + record.params;
  TraceCommand(context, "");
  CallHandler(context, record.command);
  for (;;) {
    AfterHandler(context);
    switch (run.runState) {
      case RunState::kRunLine:
        run.runState = RunState::kGoOn;
        if (!RunCommandLine(context)) return true;
        break;
      case RunState::kLeaveScript:
        run.runState = RunState::kGoOn;
        return false;
      case RunState::kStopAll:
        return false;
      case RunState::kGoOn:
        if (run.params.empty() || run.params[0] == '#') return true;
        if (run.params[0] != ';') ErrorBadCommand(context);
        run.lineBuffer = run.params.substr(1);
        TrimText(run.lineBuffer);
        if (!RunCommandLine(context)) return true;
        break;
    }
  }
}

}  // namespace

bool RunScript(ScriptContext& context, std::string& name, const std::string* startLabel) {
  Interpreter& run = context.run;
  if (run.gosubDepth >= kGosubStackSize) ScriptError(context, "  Too many GOSUBs.");
  name = NativeFileName(name);
  if (FindExtension(name) == std::string::npos) name = platform::NameForOpening(name, ".ss");
  const int slot = context.files.Open(name, SlotMode::kRead);
  if (slot == kNoSlot) return false;

  LevelScope level(run);
  run.indent += "  ";
  run.scriptName = name;
  CompiledScript compiled;
  CompileScript(context, *context.files.File(slot), compiled);
  context.files.Close(slot);

  run.script = &compiled;
  run.runPointer = 0;
  run.compileEnd = compiled.records.size();
  run.gosubStack[static_cast<size_t>(run.gosubDepth++)] = run.compileEnd;

  bool startPending = startLabel != nullptr;
  while (run.runPointer < run.compileEnd && run.runState != RunState::kStopAll) {
    if (startPending) {
      startPending = false;
      JumpToLabel(context, *startLabel);
      continue;
    }
    const ScriptRecord& record = compiled.records[run.runPointer++];
    if (record.text) continue;
    if (!RunRecord(context, record)) break;
  }
  DebugNewLine(context);
  return true;
}

std::optional<size_t> FindLabel(ScriptContext& context, std::string& name) {
  UpperCase(name);
  if (name.size() > kLabelNameLimit) name.resize(kLabelNameLimit);
  const Interpreter& run = context.run;
  for (size_t i = run.labels.size(); i > run.labelBase; --i) {
    if (run.labels[i - 1].name == name) return i - 1;
  }
  return std::nullopt;
}

void JumpToLabel(ScriptContext& context, std::string name) {
  const std::optional<size_t> label = FindLabel(context, name);
  if (!label) ScriptError(context, "  Label not found:\r\n    ", name, "\r\n");
  context.run.runPointer = context.run.labels[*label].position;
  DebugNewLine(context);
}

}  // namespace script
