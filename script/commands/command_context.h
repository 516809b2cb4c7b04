#pragma once
// The context a command runs in: the language's context with the screen and the system
// services of the run. It runs the words of the command families, and keeps the window and
// the sound going between and during the commands.
#include <cstddef>

#include "platform/system/clock.h"
#include "script/language/script_context.h"
#include "script/screen/screen.h"
#include "script/system/system_services.h"

class PlaybackWindow;

namespace script {

class CommandContext : public ScriptContext {
 public:
  // The script window is the playback window given; the run and its videos keep time on the
  // clock. Both must outlive the context.
  explicit CommandContext(PlaybackWindow& window, platform::Clock& clock = platform::SystemClock());

  void RunCommand(size_t index) override;
  // The window's waiting events, then the sound service; a stop signal ends the run here
  // (ScriptStopped).
  void KeepResponsive() override;
  // While auto pause is on and the window does not have the focus.
  void WaitWhilePaused() override;

  SystemServices system;
  Screen screen;
};

}  // namespace script
