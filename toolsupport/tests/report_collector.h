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
#include "testsupport/environment_guard.h"

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

using testsupport::EnvironmentGuard;
