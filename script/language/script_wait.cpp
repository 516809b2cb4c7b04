#include "script/language/script_wait.h"

#include "script/language/script_context.h"

namespace script {

bool WaitFor(ScriptContext& context, const std::function<bool()>& done, std::optional<uint32_t> limitMs) {
  const uint32_t start = context.Clock();
  for (;;) {
    context.KeepResponsive();
    if (done && done()) return true;
    if (limitMs && context.Clock() - start >= *limitMs) return false;
    context.Sleep(1);
  }
}

void WaitUntil(ScriptContext& context, uint32_t target) {
  const auto remaining = static_cast<int32_t>(target - context.Clock());
  if (remaining > 0) WaitFor(context, nullptr, static_cast<uint32_t>(remaining));
}

}  // namespace script
