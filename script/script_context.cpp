#include "script/script_context.h"

#include "platform/system/clock.h"

namespace script {

ScriptContext::ScriptContext()
    : clicksTaken{ScriptWindow::Clicks(false), ScriptWindow::Clicks(true)},
      clockStart_(platform::NowMilliseconds()) {}

uint32_t ScriptContext::Clock() const {
  return static_cast<uint32_t>(platform::NowMilliseconds() - clockStart_);
}

const ScriptRecord* ScriptContext::TakeTextRecord() {
  if (run.script == nullptr || run.runPointer >= run.compileEnd) return nullptr;
  const ScriptRecord& record = run.script->records[run.runPointer];
  if (!record.text) return nullptr;
  ++run.runPointer;
  return &record;
}

}  // namespace script
