#pragma once
// Sets environment variables for one test and puts the old values back at the end.
#include <stdlib.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace testsupport {

class EnvironmentGuard {
 public:
  EnvironmentGuard() = default;
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  // A null value removes the variable.
  void Set(const char* name, const char* value) {
    if (!saved_.count(name)) {
      const char* old = std::getenv(name);
      saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  // As on a machine without a display.
  void NoDisplay() {
    Set("DISPLAY", nullptr);
    Set("WAYLAND_DISPLAY", nullptr);
    Set("QT_QPA_PLATFORM", nullptr);
  }
  ~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace testsupport
