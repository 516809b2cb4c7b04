#pragma once
// The run-time context of the script language: what one run keeps between commands of the
// language itself: the interpreter's state (records, labels, the GOSUB stack, the line and
// parameter texts), the variables, the file slots with the trace file, the random numbers and
// the clock. The program around the language derives its own context from this one: it runs
// the commands and keeps its window and sound going (script/commands).
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "script/language/command_table.h"
#include "script/language/file_slots.h"
#include "script/language/random_numbers.h"
#include "script/language/variables.h"

namespace script {

inline constexpr size_t kMaxLabels = 512;
inline constexpr size_t kLabelNameLimit = 31;
inline constexpr int kGosubStackSize = 64;

enum class RunState : uint8_t {
  kGoOn = 0,         // the next record
  kRunLine = 1,      // run the line buffer as a command line (IF, INTERPRET)
  kLeaveScript = 2,  // EXIT, or RETURN with nothing pending
  kStopAll = 3,      // END
};

// One compiled line: a command with its parameter text, or a line of a TEXTBEGIN block kept
// as it was written.
struct ScriptRecord {
  uint32_t line = 0;
  uint8_t command = 0;  // index in the command table; unused for text records
  bool text = false;
  std::string params;   // the parameters, or the whole line of a text record
};

struct CompiledScript {
  std::vector<ScriptRecord> records;
};

struct ScriptLabel {
  std::string name;  // upper case, at most kLabelNameLimit bytes
  size_t position;   // the first record after the label line
};

// The interpreter: what the run loop, the compiler and the flow-control family share.
struct Interpreter {
  RunState runState = RunState::kGoOn;
  const CompiledScript* script = nullptr;  // the innermost running level
  size_t runPointer = 0;                   // the next record
  size_t compileEnd = 0;
  uint32_t currentLine = 0;
  int command = -1;        // table index of the running command
  std::string lineBuffer;  // the running command line: word, blank, parameters
  std::string params;      // what the running command has not taken of its parameters
  std::string scriptName;  // empty while no script runs
  std::string indent;      // two blanks per script level and per pending GOSUB (trace only)
  std::vector<ScriptLabel> labels;
  size_t labelBase = 0;  // the first label of the innermost level
  std::array<size_t, kGosubStackSize> gosubStack{};
  int gosubDepth = 0;
  std::string commandLine;  // the program's command line, for SYSTEMCOMMANDLINE
};

class ScriptContext {
 public:
  // Scripts compile against the words of the table; the run measures its time and waits with
  // the clock. Both must outlive the context.
  explicit ScriptContext(const CommandTable& commands, platform::Clock& clock = platform::SystemClock());
  virtual ~ScriptContext() = default;
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  const CommandTable& Commands() const { return commands_; }
  // Runs the command of the table's index on the parameter text in `run.params`. The language
  // alone runs none: it refuses each as a bad command.
  virtual void RunCommand(size_t index);
  // One round of what keeps the program answering while a script compiles, runs and waits:
  // its window's events and its sound. Nothing for the language alone.
  virtual void KeepResponsive() {}
  // Waits while the program holds the run paused (after every command); the language alone
  // never pauses.
  virtual void WaitWhilePaused() {}

  // The millisecond clock of the script: counts from the start of the run and wraps at 32 bits.
  uint32_t Clock() const;
  // What the run's waits sleep on.
  void Sleep(uint32_t ms) { clock_.Sleep(ms); }
  platform::Clock& TimeSource() const { return clock_; }

  // The next record when it is a line of a TEXTBEGIN block (the run pointer moves past it);
  // null at any other record or at the end.
  const ScriptRecord* TakeTextRecord();

  bool Tracing() const { return debugSlot != kNoSlot; }

  Interpreter run;
  ScriptVariables variables;
  VariableStack pushed;
  FileSlots files;
  int debugSlot = kNoSlot;  // the trace file's slot
  RandomNumbers random;

 private:
  const CommandTable& commands_;
  platform::Clock& clock_;
  uint64_t clockStart_;
};

}  // namespace script
