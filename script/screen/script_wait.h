#pragma once
// Waiting in the script player: every wait dispatches the window's events and feeds the sound
// between short sleeps, so that the window stays alive, sound keeps playing and no core spins.
#include <cstdint>

namespace script {

class ScriptContext;

// One round: the window's waiting events, then the sound service.
void WaitRound(ScriptContext& context);

// Rounds for as long as the run pauses because its window is in the background.
void WaitWhileAutoPaused(ScriptContext& context);

// Rounds until the script clock reaches the target, sleeping at most 1 ms between them. The
// clock and the target are compared by their signed 32-bit difference, so a wrap of the clock
// neither ends a wait early nor makes it endless; a target already passed returns at once.
void WaitUntil(ScriptContext& context, uint32_t target);

}  // namespace script
