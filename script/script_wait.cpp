#include "script/script_wait.h"

#include "platform/system/clock.h"
#include "player/player_window.h"
#include "script/script_context.h"
#include "playback/vant.h"

namespace script {

void WaitRound(ScriptContext&) {
  PumpPlayerMessages();
  VantSoundCheck();
}

void WaitWhileAutoPaused(ScriptContext& context) {
  while (AutoPauseHolds(context)) {
    platform::SleepMilliseconds(1);
    WaitRound(context);
  }
}

void WaitUntil(ScriptContext& context, uint32_t target) {
  while (static_cast<int32_t>(target - context.Clock()) > 0) {
    WaitRound(context);
    if (static_cast<int32_t>(target - context.Clock()) > 0) platform::SleepMilliseconds(1);
  }
}

}  // namespace script
