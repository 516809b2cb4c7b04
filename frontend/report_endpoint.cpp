#include "frontend/report_endpoint.h"

#include <QSocketNotifier>

namespace frontend {

ReportEndpoint::ReportEndpoint(Handler handler, const std::string& caption)
    : handler_(std::move(handler)) {
  receiver_.SetCaption(caption);
  if (!receiver_.ListenAny()) return;
  notifier_ = std::make_unique<QSocketNotifier>(receiver_.fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });
}

ReportEndpoint::~ReportEndpoint() {
  notifier_.reset();
  receiver_.Close();
}

void ReportEndpoint::Drain() {
  while (std::optional<platform::PendingReport> pending = receiver_.Next(0)) {
    uint32_t answer = 0;
    try {
      if (handler_) answer = handler_(pending->request());
    } catch (...) {
      // Nothing thrown may leave the event loop's call; the sender gets 0.
    }
    pending->Reply(answer);
  }
}

}  // namespace frontend
