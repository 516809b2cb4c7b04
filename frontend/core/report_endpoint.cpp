#include "frontend/core/report_endpoint.h"

#include <QSocketNotifier>
#include <QTimer>

#include "platform/face/frame_guard.h"

namespace frontend {

struct ReportEndpoint::Connection {
  explicit Connection(platform::ReportConnection accepted) : link(std::move(accepted)) {}

  platform::ReportConnection link;
  QSocketNotifier* notifier = nullptr;  // both owned by the endpoint's context
  QTimer* deadline = nullptr;
};

ReportEndpoint::ReportEndpoint(Handler handler, const std::string& caption)
    : handler_(std::move(handler)) {
  receiver_.SetCaption(caption);
  if (!receiver_.ListenAny()) return;
  notifier_ = std::make_unique<QSocketNotifier>(receiver_.fd(), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, &context_, [this] { AcceptWaiting(); });
}

ReportEndpoint::~ReportEndpoint() {
  notifier_.reset();
  for (const std::unique_ptr<Connection>& connection : connections_) {
    connection->notifier->setEnabled(false);
    connection->deadline->stop();
  }
  connections_.clear();
  receiver_.Close();
}

void ReportEndpoint::AcceptWaiting() {
  while (std::optional<platform::ReportConnection> accepted = receiver_.Accept()) {
    if (connections_.size() >= kMaxConnections) continue;  // closed at once: the sender gives up
    auto connection = std::make_unique<Connection>(std::move(*accepted));
    Connection* raw = connection.get();
    raw->notifier = new QSocketNotifier(raw->link.fd(), QSocketNotifier::Read, &context_);
    QObject::connect(raw->notifier, &QSocketNotifier::activated, &context_, [this, raw] { Serve(*raw); });
    // A sender that does not finish its request in time is dropped.
    raw->deadline = new QTimer(&context_);
    raw->deadline->setSingleShot(true);
    QObject::connect(raw->deadline, &QTimer::timeout, &context_, [this, raw] { Retire(*raw); });
    raw->deadline->start(static_cast<int>(platform::kReportTransferTimeoutMs));
    connections_.push_back(std::move(connection));
    Serve(*raw);  // what came with the connection may be there already
  }
}

void ReportEndpoint::Serve(Connection& connection) {
  const platform::ReportConnection::Progress progress = connection.link.ReadAvailable();
  if (progress == platform::ReportConnection::Progress::Waiting) return;
  std::optional<platform::PendingReport> pending;
  if (progress == platform::ReportConnection::Progress::Complete) {
    pending = connection.link.Take(receiver_.caption());
  }
  Retire(connection);
  if (!pending) return;
  uint32_t answer = 0;
  // The sender gets 0 when the handler fails.
  platform::RunGuarded("Taking a report", [&] {
    if (handler_) answer = handler_(pending->request());
  });
  pending->Reply(answer);
}

void ReportEndpoint::Retire(Connection& connection) {
  // Either may be delivering its signal right now, so neither is deleted here.
  connection.notifier->setEnabled(false);
  connection.deadline->stop();
  connection.notifier->deleteLater();
  connection.deadline->deleteLater();
  connections_.remove_if([&connection](const std::unique_ptr<Connection>& open) {
    return open.get() == &connection;
  });
}

}  // namespace frontend
