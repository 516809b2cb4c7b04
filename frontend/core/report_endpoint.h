#pragma once
// A window's endpoint of the report channel, served from the Qt event loop: every request that
// arrives is given to the handler and answered with its result. Each connection is read as its
// bytes arrive, so a sender that connects and sends nothing never holds up the window or the
// other senders. The main window has one; a window that takes the reports while it is open
// (batch runner, executable builder, output-name and open dialogs) makes its own and puts its
// number on the notify targets.
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string>

#include <QObject>

#include "platform/system/report_channel.h"

class QSocketNotifier;

namespace frontend {

class ReportEndpoint {
 public:
  using Handler = std::function<uint32_t(const platform::ReportRequest&)>;
  // More senders at once than any run of the front end has; later ones are turned away.
  static constexpr size_t kMaxConnections = 64;

  // Listens on a free number; `caption` answers the caption question.
  ReportEndpoint(Handler handler, const std::string& caption);
  ~ReportEndpoint();
  ReportEndpoint(const ReportEndpoint&) = delete;
  ReportEndpoint& operator=(const ReportEndpoint&) = delete;

  bool listening() const { return receiver_.number() != 0; }
  int32_t number() const { return receiver_.number(); }
  // Connections whose requests are still arriving.
  size_t openConnections() const { return connections_.size(); }

 private:
  struct Connection;

  void AcceptWaiting();
  void Serve(Connection& connection);
  // Closes the connection; its notifier and timer go once the event loop has left them.
  void Retire(Connection& connection);

  platform::ReportReceiver receiver_;
  Handler handler_;
  std::unique_ptr<QSocketNotifier> notifier_;
  QObject context_;  // parent of the connections' notifiers and timers
  std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace frontend
