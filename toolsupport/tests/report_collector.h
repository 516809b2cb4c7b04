#pragma once
// Test helpers: a receiver on a thread of its own that answers and keeps every request, and a
// guard for environment variables.
#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/system/report_channel.h"

class ReportCollector {
 public:
  using Answer = std::function<uint32_t(const platform::ReportRequest&)>;

  explicit ReportCollector(const std::string& caption = "",
                           Answer answer = [](const platform::ReportRequest&) { return 1u; }) {
    receiver_.SetCaption(caption);
    listening_ = receiver_.ListenAny();
    thread_ = std::thread([this, answer] {
      while (!stop_) {
        if (auto pending = receiver_.Next(20)) {
          std::lock_guard<std::mutex> lock(mutex_);
          requests_.push_back(pending->request());
          pending->Reply(answer(pending->request()));
        }
      }
    });
  }
  ~ReportCollector() {
    stop_ = true;
    thread_.join();
  }
  bool listening() const { return listening_; }
  int32_t number() const { return receiver_.number(); }
  std::vector<platform::ReportRequest> requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  platform::ReportReceiver receiver_;
  bool listening_ = false;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<platform::ReportRequest> requests_;
  std::thread thread_;
};

class EnvironmentGuard {
 public:
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
