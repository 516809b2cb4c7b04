#pragma once
// Waiting in a script run: every wait keeps the program answering (the context's round: its
// window's events and its sound) between short sleeps on the run's clock, so that no core
// spins and tests can turn the clock.
#include <cstdint>

namespace script {

class ScriptContext;

// Rounds until the script clock reaches the target, sleeping at most 1 ms between them. The
// clock and the target are compared by their signed 32-bit difference, so a wrap of the clock
// neither ends a wait early nor makes it endless; a target already passed returns at once.
void WaitUntil(ScriptContext& context, uint32_t target);

}  // namespace script
