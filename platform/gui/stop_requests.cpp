#include "platform/gui/stop_requests.h"

#include <poll.h>

#include <QCoreApplication>
#include <QDialog>
#include <QSocketNotifier>

#include "platform/system/stop_signals.h"

namespace platform {
namespace {

int given = -1;

int Watched() { return given >= 0 ? given : StopSignalDescriptor(); }

}  // namespace

void WatchStopRequests(int descriptor) { given = descriptor; }

bool StopRequested() {
  const int descriptor = Watched();
  if (descriptor < 0) return false;
  pollfd waiting{descriptor, POLLIN, 0};
  return poll(&waiting, 1, 0) > 0 && (waiting.revents & POLLIN) != 0;
}

std::optional<int> ExecUnlessStopped(QDialog& dialog) {
  if (StopRequested()) return std::nullopt;
  std::optional<QSocketNotifier> stop;
  if (Watched() >= 0) {
    stop.emplace(Watched(), QSocketNotifier::Read);
    QObject::connect(&*stop, &QSocketNotifier::activated, &dialog, [&dialog, &stop] {
      stop->setEnabled(false);  // the descriptor stays readable
      dialog.reject();
    });
  }
  const int result = dialog.exec();
  if (StopRequested()) return std::nullopt;
  return result;
}

void QuitOnStopRequest() {
  if (Watched() < 0 || QCoreApplication::instance() == nullptr) return;
  auto* stop = new QSocketNotifier(Watched(), QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(stop, &QSocketNotifier::activated, stop, [stop] {
    stop->setEnabled(false);
    QCoreApplication::exit(1);
  });
}

}  // namespace platform
