#pragma once
// The run-time context of the script player: everything one run of vantscw keeps between
// commands. The interpreter's own state (records, labels, the GOSUB stack, the line and
// parameter texts) is here, beside the state each command family keeps; a family that needs
// more state adds a member of its own type here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "script/screen/animation_slots.h"
#include "script/screen/bitmaps.h"
#include "script/system/file_search.h"
#include "script/language/file_slots.h"
#include "script/system/media_control.h"
#include "script/screen/mouse_areas.h"
#include "script/screen/mouse_pointer.h"
#include "script/system/print_file.h"
#include "script/language/random_numbers.h"
#include "script/screen/screen_palette.h"
#include "script/screen/script_window.h"
#include "script/screen/text_output.h"
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

// Mouse button releases the script has taken, against the window's counts.
struct ClickCounts {
  uint32_t left = 0;
  uint32_t right = 0;
};

class ScriptContext {
 public:
  // The run measures its time and waits with the clock, which must outlive the context.
  explicit ScriptContext(platform::Clock& clock = platform::SystemClock());
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  // The millisecond clock of the script: counts from the start of the run and wraps at 32 bits.
  uint32_t Clock() const;
  // What the run's waits sleep on.
  void Sleep(uint32_t ms) { clock_.Sleep(ms); }
  platform::Clock& TimeSource() const { return clock_; }

  // The next record when it is a line of a TEXTBEGIN block (the run pointer moves past it);
  // null at any other record or at the end.
  const ScriptRecord* TakeTextRecord();

  bool Tracing() const { return debugSlot != kNoSlot; }
  bool Printing() const { return printSlot != kNoSlot; }

  Interpreter run;
  ScriptVariables variables;
  VariableStack pushed;
  FileSlots files;
  int debugSlot = kNoSlot;  // the trace file's slot
  int printSlot = kNoSlot;  // the print file's slot (PRINTBEGIN): TEXT writes there
  PrintSpool printSpool;    // a printer port's job, printed when printing ends
  FileSearch search;
  MediaDevices media;
  RandomNumbers random;

  // The window and what is drawn in it.
  ScriptWindow window;
  WindowSettings settings;
  ScreenPalette palette;
  TextState text;
  MousePointer pointer;
  MouseAreas mouseAreas;
  ClickCounts clicksTaken;

  // Declared last: the videos close before the bitmaps they may decode into are freed.
  BitmapSlots bitmaps;
  AnimationSlots animations;

 private:
  platform::Clock& clock_;
  uint64_t clockStart_;
};

}  // namespace script
