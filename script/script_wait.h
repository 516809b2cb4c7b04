#pragma once
// Waiting in the script player: every wait dispatches the window's events and feeds the sound
// between short sleeps, so that the window stays alive, sound keeps playing and no core spins.
#include <cstdint>

namespace script {

class ScriptContext;

// Thrown out of a wait once a stop signal arrived: the run ends there, as after an error but
// without a message.
struct ScriptStopped {};

// Throws ScriptStopped once a stop signal arrived.
void StopWhenSignalled();

// One round: the window's waiting events, then the sound service. Ends the run on a stop signal.
void WaitRound(ScriptContext& context);

// Rounds for as long as the run pauses because its window is in the background.
void WaitWhileAutoPaused(ScriptContext& context);

// Rounds until the script clock reaches the target, sleeping at most 1 ms between them. The
// clock and the target are compared by their signed 32-bit difference, so a wrap of the clock
// neither ends a wait early nor makes it endless; a target already passed returns at once.
void WaitUntil(ScriptContext& context, uint32_t target);

}  // namespace script
