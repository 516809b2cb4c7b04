#include "script/language/script_context.h"

namespace script {

ScriptContext::ScriptContext(platform::Clock& clock)
    : clicksTaken{ScriptWindow::Clicks(false), ScriptWindow::Clicks(true)},
      clock_(clock),
      clockStart_(clock.Now()) {}

uint32_t ScriptContext::Clock() const { return static_cast<uint32_t>(clock_.Now() - clockStart_); }

const ScriptRecord* ScriptContext::TakeTextRecord() {
  if (run.script == nullptr || run.runPointer >= run.compileEnd) return nullptr;
  const ScriptRecord& record = run.script->records[run.runPointer];
  if (!record.text) return nullptr;
  ++run.runPointer;
  return &record;
}

}  // namespace script
