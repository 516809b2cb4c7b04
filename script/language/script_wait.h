#pragma once
// The one wait of a script run. Every wait keeps the program answering (the context's round:
// its window's events and its sound) between sleeps of a millisecond on the run's clock, so that
// no core spins and tests turn the clock instead of waiting.
#include <cstdint>
#include <functional>
#include <optional>

namespace script {

class ScriptContext;

// A round, then `done` is asked; while it is false and the limit (milliseconds on the run's
// clock from the call) has not passed, a sleep of 1 ms and the next round. True when `done`
// held, false when the limit passed first. Without `done` the wait lasts the limit; without a
// limit it lasts until `done`.
bool WaitFor(ScriptContext& context, const std::function<bool()>& done,
             std::optional<uint32_t> limitMs = std::nullopt);

// Until the script clock reaches the target. The clock and the target are compared by their
// signed 32-bit difference, so a wrap of the clock neither ends a wait early nor makes it
// endless; a target already passed returns at once.
void WaitUntil(ScriptContext& context, uint32_t target);

}  // namespace script
