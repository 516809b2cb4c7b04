#include "script/script_wait.h"

#include "platform/system/stop_signals.h"
#include "player/player_window.h"
#include "script/script_context.h"
#include "playback/vant.h"

namespace script {

void StopWhenSignalled() {
  if (platform::StopSignalPending()) throw ScriptStopped();
}

void WaitRound(ScriptContext& context) {
  context.window.DispatchEvents();
  VantSoundCheck();
}

void WaitWhileAutoPaused(ScriptContext& context) {
  while (AutoPauseHolds(context)) {
    context.Sleep(1);
    WaitRound(context);
  }
}

void WaitUntil(ScriptContext& context, uint32_t target) {
  while (static_cast<int32_t>(target - context.Clock()) > 0) {
    WaitRound(context);
    if (static_cast<int32_t>(target - context.Clock()) > 0) context.Sleep(1);
  }
}

}  // namespace script
