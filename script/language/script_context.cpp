#include "script/language/script_context.h"

#include "script/language/script_error.h"

namespace script {

ScriptContext::ScriptContext(const CommandTable& commands, platform::Clock& clock)
    : commands_(commands), clock_(clock), clockStart_(clock.Now()) {}

void ScriptContext::RunCommand(size_t) { ErrorBadCommand(*this); }

uint32_t ScriptContext::Clock() const { return static_cast<uint32_t>(clock_.Now() - clockStart_); }

const ScriptRecord* ScriptContext::TakeTextRecord() {
  if (run.script == nullptr || run.runPointer >= run.compileEnd) return nullptr;
  const ScriptRecord& record = run.script->records[run.runPointer];
  if (!record.text) return nullptr;
  ++run.runPointer;
  return &record;
}

}  // namespace script
