#pragma once
// A window's endpoint of the report channel, served from the Qt event loop: every request that
// arrives is given to the handler and answered with its result. The main window has one; a
// window that takes the reports while it is open (batch runner, executable builder, output-name
// and open dialogs) makes its own and puts its number on the notify targets.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/system/report_channel.h"

class QSocketNotifier;

namespace frontend {

class ReportEndpoint {
 public:
  using Handler = std::function<uint32_t(const platform::ReportRequest&)>;

  // Listens on a free number; `caption` answers the caption question.
  ReportEndpoint(Handler handler, const std::string& caption);
  ~ReportEndpoint();
  ReportEndpoint(const ReportEndpoint&) = delete;
  ReportEndpoint& operator=(const ReportEndpoint&) = delete;

  bool listening() const { return receiver_.number() != 0; }
  int32_t number() const { return receiver_.number(); }

  // Answers what has arrived (the event loop calls it when the endpoint has a caller).
  void Drain();

 private:
  platform::ReportReceiver receiver_;
  Handler handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace frontend
