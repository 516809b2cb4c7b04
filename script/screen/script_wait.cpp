#include "script/screen/script_wait.h"

#include "player/player_window.h"
#include "script/language/script_context.h"
#include "playback/vant.h"

namespace script {

void WaitRound(ScriptContext&) {
  PumpPlayerMessages();
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
