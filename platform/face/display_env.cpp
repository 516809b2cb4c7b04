#include "platform/face/display_env.h"

#include <cstdlib>
#include <string>

namespace platform {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

bool WindowsAvailable() {
  return !Environment("DISPLAY").empty() || !Environment("WAYLAND_DISPLAY").empty() ||
         !Environment("QT_QPA_PLATFORM").empty();
}

bool PersonCanAnswer() {
  if (!WindowsAvailable()) return false;
  const std::string platform = Environment("QT_QPA_PLATFORM");
  return platform.rfind("offscreen", 0) != 0 && platform.rfind("minimal", 0) != 0;
}

}  // namespace platform
