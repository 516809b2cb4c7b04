#include "frontend/core/notify_targets.h"

namespace frontend {

void NotifyTargets::Remove(int32_t number) {
  for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
    if (*it == number) {
      stack_.erase(std::next(it).base());
      return;
    }
  }
}

}  // namespace frontend
