#include "script/screen/script_wait.h"

#include "playback/vant.h"
#include "script/language/script_context.h"

namespace script {

void WaitRound(ScriptContext& context) {
  context.screen.window.DispatchEvents();
  VantSoundCheck();
}

void WaitWhileAutoPaused(ScriptContext& context) {
  while (AutoPauseHolds(context.screen.window, context.screen.settings)) {
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
