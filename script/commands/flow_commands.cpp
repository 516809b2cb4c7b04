// Flow control, arithmetic, delays and program start: the commands that steer the run loop.
#include <algorithm>
#include <climits>

#include "platform/system/program_start.h"
#include "script/language/arithmetic.h"
#include "script/commands/command_context.h"
#include "script/commands/command_families.h"
#include "script/language/params.h"
#include "script/language/run_loop.h"
#include "script/language/script_error.h"
#include "script/language/script_wait.h"
#include "script/language/trace.h"

namespace script {

namespace {

// What EXECUTE stores when the program runs; the error codes of failed starts stay below.
constexpr int32_t kProgramStarted = 32;
constexpr int32_t kHighestStartError = 31;

// CALL and CALLANDGOSUB: the called level overwrites the line, the parameters and the line
// number, which the rest of this line still needs.
void CallScript(CommandContext& context, std::string name, const std::string* label) {
  Interpreter& run = context.run;
  const std::string lineBuffer = run.lineBuffer, params = run.params;
  const uint32_t line = run.currentLine;
  const int command = run.command;
  const bool opened = RunScript(context, name, label);
  run.lineBuffer = lineBuffer;
  run.params = params;
  run.currentLine = line;
  run.command = command;
  if (!opened) ScriptError(context, "  Error opening script in command:\r\n    ", run.lineBuffer, "\r\n");
}

// a, operator, b of IF and IFSET, compared, with the trace's note of the outcome.
bool TakeComparison(CommandContext& context) {
  const std::string left = TakeText(context);
  const std::string op = TakeNonEmptyText(context);
  const std::string right = TakeText(context);
  const bool holds = CompareValues(left, op, right);
  TraceText(context, holds ? "  ***True " : "  ***False");
  return holds;
}

void CommandCall(CommandContext& context) { CallScript(context, TakeNonEmptyText(context), nullptr); }

void CommandCallAndGosub(CommandContext& context) {
  const std::string name = TakeNonEmptyText(context);
  const std::string label = TakeNonEmptyText(context);
  CallScript(context, name, &label);
}

void CommandGoto(CommandContext& context) { JumpToLabel(context, TakeNonEmptyText(context)); }

void CommandGosub(CommandContext& context) {
  Interpreter& run = context.run;
  if (run.gosubDepth >= kGosubStackSize) ScriptError(context, "  Too many GOSUBs.");
  run.indent += "  ";
  run.gosubStack[static_cast<size_t>(run.gosubDepth++)] = run.runPointer;
  JumpToLabel(context, TakeNonEmptyText(context));
}

void CommandReturn(CommandContext& context) {
  SkipLeadingBlanks(context);
  Interpreter& run = context.run;
  if (run.gosubDepth == 0) {
    run.runState = RunState::kLeaveScript;
  } else {
    run.runPointer = run.gosubStack[static_cast<size_t>(--run.gosubDepth)];
    run.indent.resize(run.indent.size() >= 2 ? run.indent.size() - 2 : 0);
  }
  DebugNewLine(context);
}

void CommandEnd(CommandContext& context) {
  SkipLeadingBlanks(context);
  context.run.runState = RunState::kStopAll;
}

void CommandExit(CommandContext& context) {
  SkipLeadingBlanks(context);
  context.run.runState = RunState::kLeaveScript;
}

void CommandIf(CommandContext& context) {
  if (TakeComparison(context)) {
    context.run.lineBuffer = context.run.params;
    context.run.runState = RunState::kRunLine;
  } else {
    context.run.params.clear();
  }
}

void CommandIfSet(CommandContext& context) {
  const bool holds = TakeComparison(context);
  const std::string variable = TakeVariable(context);
  const std::string ifTrue = TakeText(context);
  const std::string ifFalse = TakeText(context);
  SetVariable(context, variable, holds ? ifTrue : ifFalse);
}

void CommandInterpret(CommandContext& context) {
  context.run.lineBuffer = TakeNonEmptyText(context);
  context.run.runState = RunState::kRunLine;
}

void CommandCompute(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  std::string first;
  const ParamKind firstKind = NextParam(context, first, true);
  int32_t a = 0;
  if (first == "=") {
    a = TakeNumber(context);
  } else if (firstKind == ParamKind::kNumber) {
    a = TextToNumber(first);
  } else {
    ScriptError(context, "  Error in compute command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  std::string op;
  if (NextParam(context, op, true) == ParamKind::kNothing) ErrorNeedParameter(context);
  if (op.empty() || !IsComputeOperator(op[0])) {
    ScriptError(context, "  Unknown operator in command:\r\n    ", context.run.lineBuffer, "\r\n");
  }
  int32_t b = 0;
  if (op[0] == '-' && op.size() > 1) {
    // "-5" comes as one number: the operator and b.
    const std::string rest = op.substr(1);
    if (!IsNumericText(rest)) ErrorNeedNumber(context);
    b = TextToNumber(rest);
  } else {
    b = TakeNumber(context);
  }
  SetVariableNumber(context, variable, ComputeTwoOperands(a, op[0], b));
}

void CommandComputeAbs(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, AbsoluteValue(TakeNumber(context)));
}

void CommandComputeSqrt(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, IntegerSqrt(static_cast<uint32_t>(TakeNumber(context))));
}

void CommandRandom(CommandContext& context) {
  const std::string variable = TakeVariable(context);
  SetVariableNumber(context, variable, context.random.Below(TakeNumber(context)));
}

void CommandRandomize(CommandContext& context) {
  context.random.Seed(static_cast<uint32_t>(TakeNumber(context)));
}

void CommandDelay(CommandContext& context) {
  const int32_t milliseconds = TakeNumber(context);
  WaitUntil(context, context.Clock() + static_cast<uint32_t>(milliseconds));
}

void CommandDelayUntil(CommandContext& context) {
  WaitUntil(context, static_cast<uint32_t>(TakeNumber(context)));
}

void CommandExecute(CommandContext& context) {
  Screen& screen = context.screen;
  const std::string variable = TakeVariable(context);
  const std::string command = TakeNonEmptyText(context);
  screen.pointer.Hide();
  const platform::ProgramStart start = platform::StartCommandText(command);
  SetVariableNumber(context, variable,
                    start.started ? kProgramStarted : std::clamp(start.error, 0, kHighestStartError));
  screen.text.ResetColors();
  screen.pointer.Reset();
}

constexpr CommandEntry kEntries[] = {
    {"CALL", CommandCall},
    {"CALLANDGOSUB", CommandCallAndGosub},
    {"COMPUTE", CommandCompute},
    {"COMPUTEABS", CommandComputeAbs},
    {"COMPUTESQRT", CommandComputeSqrt},
    {"DELAY", CommandDelay},
    {"DELAYUNTIL", CommandDelayUntil},
    {"END", CommandEnd},
    {"EXECUTE", CommandExecute},
    {"EXIT", CommandExit},
    {"GOSUB", CommandGosub},
    {"GOTO", CommandGoto},
    {"IF", CommandIf},
    {"IFSET", CommandIfSet},
    {"INTERPRET", CommandInterpret},
    {"RANDOM", CommandRandom},
    {"RANDOMIZE", CommandRandomize},
    {"RETURN", CommandReturn},
};

}  // namespace

std::span<const CommandEntry> FlowCommands() { return kEntries; }

}  // namespace script
