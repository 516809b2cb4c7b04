#include "script/language/script_wait.h"

#include "script/language/script_context.h"

namespace script {

void WaitUntil(ScriptContext& context, uint32_t target) {
  while (static_cast<int32_t>(target - context.Clock()) > 0) {
    context.KeepResponsive();
    if (static_cast<int32_t>(target - context.Clock()) > 0) context.Sleep(1);
  }
}

}  // namespace script
