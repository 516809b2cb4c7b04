#include "script/commands/command_context.h"

#include "platform/system/stop_signals.h"
#include "playback/vant.h"
#include "script/commands/command_families.h"
#include "script/language/script_error.h"
#include "script/language/script_wait.h"

namespace script {

CommandContext::CommandContext(PlaybackWindow& window, platform::Clock& clock)
    : ScriptContext(ScriptCommands().Table(), clock), screen(window, clock) {}

void CommandContext::RunCommand(size_t index) { ScriptCommands().At(index).handler(*this); }

void CommandContext::KeepResponsive() {
  screen.window.DispatchEvents();
  VantSoundCheck();
  // Every command and every wait comes here: a stop signal ends the run at once.
  if (platform::StopSignalPending()) throw ScriptStopped();
}

void CommandContext::WaitWhilePaused() {
  const auto goesOn = [this] { return !AutoPauseHolds(screen.window, screen.settings); };
  if (!goesOn()) WaitFor(*this, goesOn);
}

}  // namespace script
